#include <windows.h>

#include "archive/stages.h"

#include "runtime/record_file.h"
#include "setup/install_running.h"
#include "setup/setup_config.h"

std::string FileFailureText(const std::string& what, const std::string& path, DWORD code) {
  std::string text = "The file " + path + " could not be " + what + " (" + SystemErrorText(code) + ").";
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
    text += "\r\nPlease make room on the disk and run the Setup program again.";
  }
  return text;
}

void StageFailure(HWND dialog, const std::string& text) {
  InstallRunning = 0;
  MessageBoxA(dialog, text.c_str(), SetupConfig.ProductName.c_str(), MB_OK | MB_ICONERROR);
}
