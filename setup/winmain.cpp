#include <windows.h>

#include <exception>

#include "setup/setup_config.h"
#include "setup/setup_sequence.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The chain reports its own errors; this only keeps anything that escapes
  // start-up or the end from ending the program without a word.
  try {
    RunSetup();
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), SetupConfig.ProductName.c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxA(nullptr, "An unexpected error stopped the installation.", SetupConfig.ProductName.c_str(),
                MB_OK | MB_ICONERROR);
  }
  return 0;
}
