#include <windows.h>

#include "setup/restart_launch.h"

void SuccessRunQuestion() {}
void RestartQuestion() {}
void RunQuestion() {}
void RestartWindows() {}
void RunInstalledProgram() {}
