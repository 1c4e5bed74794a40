// UnInstal.Exe of the demo product: removes what the installation put in
// place. It asks first, then takes back the shell value, puts the system's
// Task Manager back, removes the driver, the shortcut, the uninstall entry
// and the installed files, and tells what it did. Files that cannot go now
// (this program itself, a file in use) go at the next start of Windows.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "demo_common.h"
#include "demo_files.h"

namespace {
const char* const Caption = "Marwindle! Uninstall";
const char* const UninstallEntry = "Software\\microsoft\\windows\\currentversion\\uninstall\\Marwindle!";
const char* const WinlogonKey = "Software\\microsoft\\windows nt\\currentversion\\Winlogon";

std::string Upper(std::string text) {
  CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

bool NamesOurProgram(const std::string& value) { return Upper(value).find("MARWINDL.EXE") != std::string::npos; }

bool Exists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder[folder.size() - 1] == '\\') return folder + name;
  return folder + "\\" + name;
}

bool IsNtFamily() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string ShortForm(const std::string& path) {
  char buffer[MAX_PATH + 1] = {0};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return path;
  return buffer;
}

// The 9x family deletes a file at its next start when WININIT.INI's
// [rename] section names it after "NUL=".
bool QueueDeleteIn9xList(const std::string& windows, const std::string& path) {
  const std::string list = Join(windows, "WININIT.INI");
  std::string text = DemoReadFile(list);
  if (text == DemoMissing) text.clear();
  const std::string line = "NUL=" + ShortForm(path) + "\r\n";
  const std::string upper = Upper(text);
  const std::string::size_type header = upper.find("[RENAME]");
  if (header == std::string::npos) {
    if (!text.empty() && text[text.size() - 1] != '\n') text += "\r\n";
    text += "[rename]\r\n" + line;
  } else {
    std::string::size_type end = text.find('\n', header);
    end = end == std::string::npos ? text.size() : end + 1;
    if (end == text.size() && text[text.size() - 1] != '\n') text += "\r\n", end = text.size();
    text.insert(end, line);
  }
  HANDLE file = CreateFileA(list.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

// Removes a file or folder at the next start of Windows.
bool QueueDelete(const std::string& windows, const std::string& path) {
  typedef BOOL(WINAPI * MoveFileExProc)(LPCSTR, LPCSTR, DWORD);
  if (IsNtFamily()) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    MoveFileExProc moveFileEx =
        kernel ? reinterpret_cast<MoveFileExProc>(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")))
               : nullptr;
    return moveFileEx != nullptr && moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  return QueueDeleteIn9xList(windows, path);
}

struct Report {
  std::vector<std::string> Lines;
  void Add(const std::string& line) { Lines.push_back(line); }
  std::string Text() const {
    std::string text;
    for (const std::string& line : Lines) text += "- " + line + "\r\n";
    return text;
  }
};

void RestoreShell(const std::string& windows, Report& report) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WinlogonKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    char value[1024] = {0};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Shell", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        NamesOurProgram(value)) {
      const char* explorer = "explorer.exe";
      if (RegSetValueExA(key, "Shell", 0, REG_SZ, reinterpret_cast<const BYTE*>(explorer),
                         static_cast<DWORD>(lstrlenA(explorer) + 1)) == ERROR_SUCCESS) {
        report.Add("The Windows shell is Explorer again.");
      } else {
        report.Add("The Windows shell could not be set back to Explorer.");
      }
    }
    RegCloseKey(key);
  }
  const std::string systemIni = Join(windows, "SYSTEM.INI");
  char shell[1024] = {0};
  GetPrivateProfileStringA("boot", "shell", "", shell, sizeof(shell), systemIni.c_str());
  if (NamesOurProgram(shell)) {
    if (WritePrivateProfileStringA("boot", "shell", "Explorer.exe", systemIni.c_str())) {
      report.Add("SYSTEM.INI names Explorer as the shell again.");
    } else {
      report.Add("SYSTEM.INI could not be changed back to Explorer.");
    }
  }
}

void RestoreTaskManager(const std::string& folder, const std::string& windows, Report& report) {
  const std::string current = Join(windows, "TaskMan.Exe");
  const std::string saved = Join(windows, "TaskMang.Exe");
  if (Exists(saved)) {
    // The saved program goes only once it is back in place.
    if (CopyFileA(saved.c_str(), current.c_str(), FALSE)) {
      DeleteFileA(saved.c_str());
      report.Add("The system's Task Manager is back in place.");
    } else {
      report.Add("The system's Task Manager could not be put back; it is kept as " + saved + ".");
    }
  } else if (Exists(current) && DemoReadFile(current) == DemoReadFile(Join(folder, "TaskMan.Exe"))) {
    if (DeleteFileA(current.c_str())) report.Add("The Marwindle! Task Manager is removed.");
  }
  const std::string registration = Join(windows, "Marwindl.Reg");
  if (Exists(registration) && DeleteFileA(registration.c_str())) report.Add("Removed " + registration + ".");
}

void RemoveDriver(const std::string& windows, Report& report) {
  const std::string driver = Join(Join(windows, "System32\\Drivers"), "CTRLMW.SYS");
  if (!Exists(driver)) return;
  if (DeleteFileA(driver.c_str())) {
    report.Add("Removed the driver " + driver + ".");
  } else if (QueueDelete(windows, driver)) {
    report.Add("The driver " + driver + " goes at the next start of Windows.");
  }
}

std::string ProgramsFolder() {
  HKEY key = nullptr;
  std::string folder;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\microsoft\\windows\\currentversion\\explorer\\Shell Folders", 0,
                    KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char value[MAX_PATH + 1] = {0};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
      folder = value;
    }
    RegCloseKey(key);
  }
  return folder;
}

// The shortcut may carry any name the user gave it; it is ours when it
// points at our main program.
void RemoveShortcuts(const std::string& folder, Report& report) {
  const std::string programs = ProgramsFolder();
  if (programs.empty()) return;
  const std::string ours = Upper(Join(folder, "Marwindl.Exe"));
  CoInitialize(nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(Join(programs, "*.lnk").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    std::vector<std::string> links;
    do {
      links.push_back(Join(programs, found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& link : links) {
      IShellLinkA* shellLink = nullptr;
      if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&shellLink)))) {
        break;
      }
      IPersistFile* file = nullptr;
      char target[MAX_PATH + 1] = {0};
      if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH + 1] = {0};
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) shellLink->GetPath(target, MAX_PATH, nullptr, 0);
        file->Release();
      }
      shellLink->Release();
      if (Upper(target) == ours && DeleteFileA(link.c_str())) report.Add("Removed the shortcut " + link + ".");
    }
  }
  CoUninitialize();
}

void RemoveUninstallEntry(Report& report) {
  if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntry) == ERROR_SUCCESS) {
    report.Add("Removed the uninstall entry.");
  }
}

void RemoveFiles(const std::string& folder, const std::string& windows, Report& report) {
  const std::string self = Upper(Join(folder, "UnInstal.Exe"));
  std::vector<std::string> names(ProductFiles, ProductFiles + ProductFileCount);
  // What the installation and the product leave besides the packed files.
  const char* const extras[] = {"Marwindl.$$$", "Marwindl1.Reg", "Marwindl.log"};
  for (const char* extra : extras) names.push_back(extra);
  int deleted = 0;
  std::vector<std::string> later;
  for (const std::string& name : names) {
    const std::string upperName = Upper(name);
    const bool help = upperName.size() > 4 && upperName.compare(upperName.size() - 4, 4, ".HLP") == 0;
    const std::string path = help ? Join(Join(windows, "Help"), name) : Join(folder, name);
    if (Upper(path) == self || !Exists(path)) continue;
    if (DeleteFileA(path.c_str())) {
      ++deleted;
    } else if (QueueDelete(windows, path)) {
      later.push_back(name);
    }
  }
  report.Add("Deleted " + std::to_string(deleted) + " files.");
  for (const std::string& name : later) report.Add(name + " is in use; it goes at the next start of Windows.");
  if (QueueDelete(windows, Join(folder, "UnInstal.Exe"))) {
    report.Add("UnInstal.Exe goes at the next start of Windows.");
  }
  // The NT family also removes the folder then, when nothing else is left in it.
  if (IsNtFamily()) QueueDelete(windows, folder.substr(0, folder.size() - 1));
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string folder = DemoOwnFolder();
  char windowsBuffer[MAX_PATH + 1] = {0};
  GetWindowsDirectoryA(windowsBuffer, MAX_PATH);
  const std::string windows = windowsBuffer;

  const std::string question = "Do you want to remove Marwindle! and all of its components from " + folder + "?";
  if (MessageBoxA(nullptr, question.c_str(), Caption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;

  Report report;
  RestoreShell(windows, report);
  RestoreTaskManager(folder, windows, report);
  RemoveDriver(windows, report);
  RemoveShortcuts(folder, report);
  RemoveUninstallEntry(report);
  RemoveFiles(folder, windows, report);

  const std::string text = "Marwindle! has been removed.\r\n\r\n" + report.Text();
  MessageBoxA(nullptr, text.c_str(), Caption, MB_OK | MB_ICONINFORMATION);
  return 0;
}
