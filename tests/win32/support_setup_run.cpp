#include <windows.h>

#include "support_setup_run.h"

#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

namespace setup_test {
namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string ScratchFolder(const std::string& name) {
  char temp[MAX_PATH] = {0};
  GetTempPathA(sizeof(temp), temp);
  std::string folder = std::string(temp) + "mwtest";
  CreateDirectoryA(folder.c_str(), nullptr);
  folder += "\\" + name;
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

std::string ReadTextFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) text.append(block, got);
  CloseHandle(file);
  return text;
}

void StartFreshSetup(const std::string& destination) {
  SetupConfig = CompiledSetupConfig();
  SetupState.JoinedArchiveCreated = false;
  SetupState.MainProgramCreated = false;
  SetupState.DialogResult = 0;
  StartSetup();
  SetupState.DestinationFolder = destination;
}

void CloseBackground() {
  if (SetupState.MainWindow != nullptr) DestroyWindow(SetupState.MainWindow);
  SetupState.MainWindow = nullptr;
  PumpMessages();
}

}  // namespace setup_test
