#include <windows.h>

#include "setup/setup_sequence.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RunSetup();
  return 0;
}
