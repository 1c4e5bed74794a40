// System integration and the final questions, run against the real registry,
// files and message boxes of a fresh prefix. The Windows folder is a
// scratch folder, so that the prefix's own files are never at stake.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/file_names.h"
#include "runtime/registry.h"
#include "setup/pending_renames.h"
#include "setup/restart_launch.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"
#include "setup/system_integration.h"

namespace {
const char* const UninstallKey = "Software\\microsoft\\windows\\currentversion\\uninstall";
const char* const ProductKey = "Software\\microsoft\\windows\\currentversion\\uninstall\\Marwindle!";
const char* const WinlogonKey = "Software\\microsoft\\windows nt\\currentversion\\Winlogon";

std::string ScratchFolder(const std::string& name) {
  char temp[MAX_PATH] = {0};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = PathJoin(temp, name);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void WriteFileText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileText(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char block[4096];
  DWORD got = 0;
  while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) text.append(block, got);
  CloseHandle(file);
  return text;
}

// Sets the DACL of an HKLM key: none at all (nobody may open it) or a
// null DACL (everybody may). Wine checks it like Windows does.
bool SetKeyAccess(const char* key, bool denyAll) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, WRITE_DAC, &handle) != ERROR_SUCCESS) return false;
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ACL empty;
  InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, denyAll ? &empty : nullptr, FALSE);
  const LONG rc = RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS;
}

std::string RegistryString(HKEY root, const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return "<missing>";
  char data[1024] = {0};
  DWORD size = sizeof(data) - 1;
  DWORD type = 0;
  const LONG rc = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return "<missing>";
  return data;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

void DeleteProductKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, ProductKey); }

class Integration : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.PlatformId = VER_PLATFORM_WIN32_NT;
    Windows = ScratchFolder("mwwin");
    CreateDirectoryA(PathJoin(Windows, "System32").c_str(), nullptr);
    CreateDirectoryA(PathJoin(Windows, "System32\\Drivers").c_str(), nullptr);
    Destination = ScratchFolder("Marwindle Program Folder");
    SetupState.WindowsFolder = Windows;
    SetupState.DestinationFolder = Destination;
    DeleteProductKey();
  }
  void TearDown() override { DeleteProductKey(); }

  std::string Windows;
  std::string Destination;
};

TEST_F(Integration, RegisterUninstallWritesTheEntryUnderTheProductName) {
  const std::string folders[] = {Destination, Destination + "\\"};
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    DeleteProductKey();
    SetupState.DestinationFolder = folder;
    RegisterUninstall();
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, ProductKey, "DisplayName"), "Marwindle!");
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, ProductKey, "UnInstallString"),
              Destination + "\\UnInstal.Exe");
  }
}

TEST_F(Integration, RegisterUninstallRaisesWhenTheMachineKeyMayNotBeWritten) {
  ASSERT_TRUE(SetKeyAccess(UninstallKey, true));
  std::string reason;
  try {
    RegisterUninstall();
  } catch (const ERegistryException& error) {
    reason = error.what();
  }
  ASSERT_TRUE(SetKeyAccess(UninstallKey, false));
  EXPECT_NE(reason.find("DisplayName"), std::string::npos) << reason;
  EXPECT_NE(reason.find("could not be opened ("), std::string::npos) << "the system's reason is told: " << reason;
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, ProductKey));
  // The object was released: the key can be written again at once.
  RegisterUninstall();
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, ProductKey, "DisplayName"), "Marwindle!");
}

TEST_F(Integration, PathsBeyond255CharactersAreNeverCutShort) {
  // 240 characters of folder: the folder fits, every file path in it does not.
  std::string deep = "C:\\";
  while (deep.size() < 240) {
    deep = PathJoin(deep, std::string(20, 'd'));
    CreateDirectoryA(deep.c_str(), nullptr);
  }
  ASSERT_LE(deep.size(), 255u);
  SetupState.DestinationFolder = deep;
  WriteFileText(PathJoin(Windows, "SYSTEM.INI"), "[Boot]\r\nShell=Explorer.exe\r\n");

  EXPECT_THROW(RegisterUninstall(), ERegistryException);
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, ProductKey)) << "no half entry";

  const std::string before = RegistryString(HKEY_LOCAL_MACHINE, WinlogonKey, "Shell");
  EXPECT_THROW(ReplaceWindowsShell(), ERegistryException);
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, WinlogonKey, "Shell"), before);

  SetupState.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
  ReplaceWindowsShell();
  EXPECT_EQ(ReadFileText(PathJoin(Windows, "SYSTEM.INI")), "[Boot]\r\nShell=Explorer.exe\r\n");

  OpenPendingRenameList();
  ReplaceTaskManagerFiles();
  ClosePendingRenameList();
  EXPECT_EQ(ReadFileText(PathJoin(Windows, "WinInit.Ini")), "[Rename]\r\n");
}

TEST_F(Integration, CopyDriverFileNeverReplacesAnInstalledDriver) {
  const std::string target = PathJoin(Windows, "System32\\Drivers\\CTRLMW.SYS");
  DeleteFileA(target.c_str());
  WriteFileText(PathJoin(Destination, "CTRLMW.SYS"), "driver one");
  CopyDriverFile();
  EXPECT_EQ(ReadFileText(target), "driver one");
  WriteFileText(PathJoin(Destination, "CTRLMW.SYS"), "driver two");
  CopyDriverFile();
  EXPECT_EQ(ReadFileText(target), "driver one");
}

TEST_F(Integration, ReplaceTaskManagerKeepsTheSystemProgramAcrossInstallations) {
  const std::string systemTaskMan = PathJoin(Windows, "TaskMan.Exe");
  const std::string saved = PathJoin(Windows, "TaskMang.Exe");
  WriteFileText(systemTaskMan, "system task manager");
  WriteFileText(PathJoin(Destination, "TaskMan.Exe"), "product task manager");
  WriteFileText(PathJoin(Destination, "Marwindl.Reg"), "registration one");

  OpenPendingRenameList();
  ReplaceTaskManagerFiles();
  EXPECT_EQ(ReadFileText(saved), "system task manager");
  EXPECT_EQ(ReadFileText(systemTaskMan), "product task manager");
  EXPECT_EQ(ReadFileText(PathJoin(Destination, "Marwindl1.Reg")), "registration one");

  // Installed again before the restart: nothing saved or waiting is overwritten.
  WriteFileText(PathJoin(Destination, "TaskMan.Exe"), "product task manager 2");
  WriteFileText(PathJoin(Destination, "Marwindl.Reg"), "registration two");
  ReplaceTaskManagerFiles();
  ClosePendingRenameList();
  EXPECT_EQ(ReadFileText(saved), "system task manager");
  EXPECT_EQ(ReadFileText(systemTaskMan), "product task manager 2");
  EXPECT_EQ(ReadFileText(PathJoin(Destination, "Marwindl1.Reg")), "registration one");

  const std::string line = PathJoin(Windows, "Marwindl.Reg") + "=" + ShortPath(PathJoin(Destination, "Marwindl1.Reg"));
  EXPECT_EQ(ReadFileText(PathJoin(Windows, "WinInit.Ini")), "[Rename]\r\n" + line + "\r\n" + line + "\r\n");
  EXPECT_EQ(line.find(' '), std::string::npos) << "the source is the short form: " << line;
}

TEST_F(Integration, ReplaceTaskManagerLeavesTheSystemProgramWhenItCannotBeSaved) {
  struct Case {
    const char* name;
    bool systemProgram;
    bool savedIsFolder;  // the save cannot be made
    const char* expectSystem;
  };
  const Case cases[] = {
      {"no system program", false, false, "product"},
      {"saved first", true, false, "product"},
      {"save fails", true, true, "system"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string windows = ScratchFolder(std::string("mwwin ") + c.name);
    SetupState.WindowsFolder = windows;
    const std::string systemTaskMan = PathJoin(windows, "TaskMan.Exe");
    if (c.systemProgram) WriteFileText(systemTaskMan, "system");
    if (c.savedIsFolder) CreateDirectoryA(PathJoin(windows, "TaskMang.Exe").c_str(), nullptr);
    WriteFileText(PathJoin(Destination, "TaskMan.Exe"), "product");
    OpenPendingRenameList();
    ReplaceTaskManagerFiles();
    ClosePendingRenameList();
    EXPECT_EQ(ReadFileText(systemTaskMan), c.expectSystem);
  }
}

TEST_F(Integration, ShellValueIsTheLongPathOnNtAndTheShortPathInSystemIniOn9x) {
  WriteFileText(PathJoin(Destination, "Marwindl.Exe"), "program");
  const std::string systemIni = PathJoin(Windows, "SYSTEM.INI");
  WriteFileText(systemIni, "[boot]\r\nshell=Explorer.exe\r\nsystem.drv=system.drv\r\n");

  ReplaceWindowsShell();
  EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, WinlogonKey, "Shell"), Destination + "\\Marwindl.Exe");
  EXPECT_EQ(ReadFileText(systemIni), "[boot]\r\nshell=Explorer.exe\r\nsystem.drv=system.drv\r\n")
      << "the NT family leaves SYSTEM.INI alone";

  SetupState.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
  ReplaceWindowsShell();
  char value[300] = {0};
  GetPrivateProfileStringA("Boot", "Shell", "", value, sizeof(value), systemIni.c_str());
  const std::string shortPath = ShortPath(Destination + "\\Marwindl.EXE");
  EXPECT_EQ(std::string(value), shortPath);
  EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
  char other[64] = {0};
  GetPrivateProfileStringA("boot", "system.drv", "", other, sizeof(other), systemIni.c_str());
  EXPECT_STREQ(other, "system.drv");
}

TEST(ReadPlatformId, TellsTheFamilyOfThisSystem) {
  SetupState.PlatformId = 99;
  ReadPlatformId();
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  EXPECT_EQ(SetupState.PlatformId, version.dwPlatformId);
}

// A visible message box of the thread other than `except`, waited for up to ms.
struct BoxSearch {
  HWND Except;
  HWND Found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
  char className[32] = {0};
  GetClassNameA(window, className, sizeof(className));
  if (window != search->Except && IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForBox(DWORD thread, HWND except, int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    BoxSearch search{except, nullptr};
    EnumThreadWindows(thread, MatchBox, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) return search.Found;
    Sleep(20);
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[1024] = {0};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// A message box's text is its static control with id 0xFFFF.
std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? WindowText(text) : "<no text>";
}

// Plays the user for the final questions: waits for each message box on the
// test's thread, notes what it showed, and answers it.
struct Answer {
  int Button;
  std::string Text;
  std::string Caption;
  bool Owned;
  bool YesNo;
  bool Seen;
};

struct QuestionPlayer {
  DWORD Thread;
  std::vector<Answer>* Answers;
  HANDLE Handle;
};

DWORD WINAPI PlayQuestions(void* context) {
  QuestionPlayer* player = static_cast<QuestionPlayer*>(context);
  HWND previous = nullptr;
  for (Answer& answer : *player->Answers) {
    HWND box = WaitForBox(player->Thread, previous, 5000);
    if (box == nullptr) return 1;
    answer.Seen = true;
    answer.Text = MessageBoxText(box);
    answer.Caption = WindowText(box);
    answer.Owned = GetWindow(box, GW_OWNER) != nullptr;
    answer.YesNo = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr &&
                   GetDlgItem(box, IDOK) == nullptr;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer.Button), 0);
    for (int waited = 0; waited < 5000 && IsWindow(box); waited += 20) Sleep(20);
    previous = box;
  }
  return 0;
}

void RunWithAnswers(void (*question)(), std::vector<Answer>& answers) {
  QuestionPlayer player{GetCurrentThreadId(), &answers, nullptr};
  player.Handle = CreateThread(nullptr, 0, PlayQuestions, &player, 0, nullptr);
  question();
  WaitForSingleObject(player.Handle, 10000);
  CloseHandle(player.Handle);
}

Answer Expect(int button) { return Answer{button, "", "", false, false, false}; }

TEST(FinalQuestions, RestartDeclinedThenRunDeclinedAsksTwiceAndDoesNothing) {
  SetupConfig = CompiledSetupConfig();
  SetupConfig.MainProgramFile = "Marwindl.$$$";
  std::vector<Answer> answers{Expect(IDNO), Expect(IDNO)};
  RunWithAnswers(RestartQuestion, answers);
  ASSERT_TRUE(answers[0].Seen && answers[1].Seen);
  EXPECT_EQ(answers[0].Text,
            "Marwindle! had been successfully installed\r\n\r\nThe system should be rebooted for the Marwindle! "
            "changes to take effect.\r\n\r\nReboot Windows?");
  EXPECT_EQ(answers[1].Text, "Do you wish to run Marwindle!?");
  for (const Answer& a : answers) {
    EXPECT_EQ(a.Caption, "Marwindle!");
    EXPECT_FALSE(a.Owned);
    EXPECT_TRUE(a.YesNo);
  }
  EXPECT_EQ(SetupConfig.MainProgramFile, "Marwindl.$$$") << "No starts nothing";
}

TEST(FinalQuestions, YesToRunStartsTheProgramUnderItsOwnName) {
  SetupConfig = CompiledSetupConfig();
  SetupConfig.MainProgramFile = "Marwindl.$$$";
  SetupState.DestinationFolder = ScratchFolder("no program here");
  std::vector<Answer> answers{Expect(IDYES)};
  RunWithAnswers(SuccessRunQuestion, answers);
  ASSERT_TRUE(answers[0].Seen);
  EXPECT_EQ(answers[0].Text, "Marwindle! has been successfully installed.\r\n\r\nDo you wish to run Marwindle!?");
  EXPECT_EQ(SetupConfig.MainProgramFile, "Marwindl.Exe");
  EXPECT_EQ(WaitForBox(GetCurrentThreadId(), nullptr, 300), nullptr) << "a program that cannot start is not reported";
}
}  // namespace
