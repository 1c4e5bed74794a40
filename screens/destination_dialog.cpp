#include <windows.h>

#include "screens/destination_rules.h"
#include "screens/dialogs.h"

#include "runtime/file_names.h"
#include "runtime/record_file.h"
#include "runtime/registry.h"
#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

namespace {
const int FolderEdit = 104;

// The remembered install folder, else "Marwindle" in the program files
// folder. Only the product's own key under HKEY_CURRENT_USER is created;
// the machine key is opened, never created.
std::string ProposedFolder() {
  IniRegistry* user = CreateIniRegistry("Software\\Tallowmere");
  std::string folder = ReadIniRegistryString(user, "Marwindle", "RegDir", "");
  DestroyIniRegistry(user);
  if (!folder.empty()) return folder;

  std::string programFiles = "C:\\Program Files";
  IniRegistry machine{HKEY_LOCAL_MACHINE, nullptr};
  if (OpenIniRegistryKey(&machine, "software\\microsoft\\windows", false)) {
    programFiles = ReadIniRegistryString(&machine, "CurrentVersion", "ProgramFilesDir", programFiles);
    RegCloseKey(machine.CurrentKey);
  }
  return PathJoin(programFiles, "Marwindle");
}

void InitDestination(HWND dialog) {
  char ownPath[MAX_PATH + 1] = {0};
  GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
  SetupState.DestinationFolder = ExtractFilePath(ownPath);
  SetWindowTextA(dialog, "Destination Directory");
  SetupConfig.DefaultFolder = ProposedFolder();
  SendDlgItemMessageA(dialog, FolderEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SetupConfig.DefaultFolder.c_str()));
  CentreDialog(dialog);
  SetFocus(GetDlgItem(dialog, FolderEdit));
}

void AcceptDestination(HWND dialog) {
  char text[255] = {0};
  SendDlgItemMessageA(dialog, FolderEdit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  SetupState.DestinationFolder = text;
  // A rejected text leaves the dialog open as it is; the user sees that
  // nothing happened and corrects it.
  if (DestinationTextAcceptable(SetupState.DestinationFolder) &&
      EnsureDestinationFolder(SetupState.DestinationFolder)) {
    EndDialog(dialog, 1);
  }
}
}  // namespace

INT_PTR CALLBACK DestinationDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return QuestionDialogMessage(dialog, message, wParam, InitDestination, AcceptDestination, LeaveRule::Confirm);
}

bool EnsureDestinationFolder(const std::string& path) {
  // No folder can carry "*" or "?" in its name; without this check a text
  // like C:\PROG* would pass as the existing drive C:.
  if (HasWildcards(path)) return false;
  if (FolderExists(path)) return true;
  CreateDirectoryA(path.c_str(), nullptr);
  if (!SetCurrentDirectoryA(path.c_str())) return false;
  SetupState.DestinationFolder = path;
  return true;
}

bool FolderExists(const std::string& path) {
  std::string p = HasWildcards(path) ? ExtractFilePath(path) : path;
  if (p.empty()) return false;
  if (p.size() <= 3) return DriveExists(p[0]);
  if (p.back() == '\\') p.pop_back();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(p.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DriveExists(char letter) {
  const char upper = AnsiUpperCase(std::string(1, letter))[0];
  if (upper < 'A' || upper > 'Z') return false;
  const char root[] = {upper, ':', '\\', '\0'};
  // DRIVE_NO_ROOT_DIR counts as a drive: only DRIVE_UNKNOWN means none.
  return GetDriveTypeA(root) > DRIVE_UNKNOWN;
}
