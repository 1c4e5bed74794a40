// The destination folder dialog, driven through its real template.
// MW_TEST_ALSO_ON_WIN98
#include "support_screens.h"

#include <gtest/gtest.h>

#include "runtime/file_names.h"
#include "screens/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
const int FolderEdit = 104;
const char* const VersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* const ProductKey = "Software\\Tallowmere\\Marwindle";

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = {0};
  GetCurrentDirectoryA(sizeof(folder), folder);
  return folder;
}

std::string OwnFolder() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, sizeof(path));
  return ExtractFilePath(path);
}

// Leaves the dialog through Exit and Yes.
void LeaveDialog(HWND dialog) {
  PostCommand(dialog, WM_COMMAND, IDCANCEL);
  HWND box = WaitForDialogWindow(GetWindowThreadProcessId(dialog, nullptr), "Exit Marwindle!", dialog);
  ASSERT_NE(box, nullptr) << "no exit question";
  AnswerMessageBox(box, IDYES);
}

class DestinationDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetupState.DestinationFolder.clear();
    savedProgramFiles = RegistryString(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir");
    SetCurrentDirectoryA("C:\\");
  }
  void TearDown() override {
    DeleteRegistryValue(HKEY_CURRENT_USER, ProductKey, "RegDir");
    if (savedProgramFiles != "<missing>") {
      SetRegistryString(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir", savedProgramFiles);
    }
  }
  std::string savedProgramFiles;
};

TEST_F(DestinationDialogTest, EnterAtOnceAcceptsTheProposalAndCreatesIt) {
  const std::string proposal = "C:\\Program Files\\Marwindle";
  ASSERT_EQ(savedProgramFiles, "C:\\Program Files");
  ASSERT_FALSE(IsFolder(proposal));
  std::string caption, text;
  HWND focus = nullptr, edit = nullptr;
  RECT placed = {};
  POINT centred = {};
  const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
    caption = WindowText(dialog);
    text = ItemText(dialog, FolderEdit);
    focus = FocusOf(dialog);
    edit = GetDlgItem(dialog, FolderEdit);
    GetWindowRect(dialog, &placed);
    centred = CentredCorner(dialog);
    PressEnter(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(caption, "Destination Directory");
  EXPECT_EQ(focus, edit) << "the folder box should have the focus";
  EXPECT_EQ(placed.left, centred.x);
  EXPECT_EQ(placed.top, centred.y);
  EXPECT_EQ(SetupConfig.DefaultFolder, proposal);
  // The box upper-cases what it is given.
  EXPECT_STRCASEEQ(text.c_str(), proposal.c_str());
  EXPECT_EQ(SetupState.DestinationFolder, text);
  EXPECT_TRUE(IsFolder(proposal));
  EXPECT_STRCASEEQ(CurrentFolder().c_str(), proposal.c_str()) << "a created folder becomes the current folder";
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Tallowmere"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, ProductKey)) << "only the product's key is made";
}

TEST_F(DestinationDialogTest, ProposalComesFromRegDirElseProgramFilesDir) {
  struct Case {
    const char* regDir;        // null: no value
    const char* programFiles;  // null: no value; "#": not a string
    const char* proposal;
  };
  const Case cases[] = {
      {"D:\\TOOLS\\OLD", "C:\\Program Files", "D:\\TOOLS\\OLD"},
      {"", "E:\\Apps", "E:\\Apps\\Marwindle"},
      {nullptr, "E:\\Apps\\", "E:\\Apps\\Marwindle"},
      {nullptr, nullptr, "C:\\Program Files\\Marwindle"},
      {nullptr, "#", "C:\\Program Files\\Marwindle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("RegDir ") + (c.regDir ? c.regDir : "(none)") + ", ProgramFilesDir " +
                 (c.programFiles ? c.programFiles : "(none)"));
    DeleteRegistryValue(HKEY_CURRENT_USER, ProductKey, "RegDir");
    if (c.regDir) {
      ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, ProductKey, "RegDir", c.regDir));
    }
    DeleteRegistryValue(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir");
    if (c.programFiles && std::string(c.programFiles) == "#") {
      HKEY key = nullptr;
      ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, VersionKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
      const DWORD number = 7;
      RegSetValueExA(key, "ProgramFilesDir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
      RegCloseKey(key);
    } else if (c.programFiles) {
      ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, VersionKey, "ProgramFilesDir", c.programFiles));
    }
    std::string text;
    const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
      text = ItemText(dialog, FolderEdit);
      LeaveDialog(dialog);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(SetupConfig.DefaultFolder, c.proposal);
    EXPECT_STRCASEEQ(text.c_str(), c.proposal);
    // Left before any OK: the setup program's own folder.
    EXPECT_EQ(SetupState.DestinationFolder, OwnFolder());
  }
}

// Each rejected text leaves the dialog open as typed, with no message.
TEST_F(DestinationDialogTest, RejectedTextsKeepTheDialogOpenSilently) {
  ASSERT_FALSE(IsFolder("C:\\NEW"));
  const char* const texts[] = {
      "",          "C",       "\\APPS",         "1:\\APPS", "C:\\NEW\\DEEP",
      "C:\\PROG*", "C:\\A?B", "C:\\WINDOWS\\WIN.INI",  // a file, not a folder
      "Q:\\APPS",  // no such drive
  };
  const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    for (const char* text : texts) {
      SCOPED_TRACE(std::string("text \"") + text + "\"");
      SetItemText(dialog, FolderEdit, text);
      PostCommand(dialog, WM_COMMAND, IDOK);
      EXPECT_TRUE(NoOtherDialogFor(thread, dialog, 300)) << "a message was shown";
      ASSERT_TRUE(IsWindow(dialog)) << "the dialog ended";
      EXPECT_EQ(ItemText(dialog, FolderEdit), text);
      EXPECT_EQ(SetupState.DestinationFolder, text);
    }
    LeaveDialog(dialog);
  });
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(IsFolder("C:\\NEW")) << "only the last level may be created";
  EXPECT_FALSE(IsFolder("C:\\PROG*"));
  EXPECT_EQ(CurrentFolder(), "C:\\");
}

TEST_F(DestinationDialogTest, AcceptedTexts) {
  struct Case {
    const char* text;
    bool changesFolder;  // created, so it becomes the current folder
  };
  std::vector<Case> cases = {{"C:", false}, {"C:\\", false}, {"C:\\WINDOWS", false}, {"C:\\NEWONE", true}};
  // A letter without a volume counts as a drive when the system says
  // DRIVE_NO_ROOT_DIR for it.
  const UINT q = GetDriveTypeA("Q:\\");
  RecordProperty("DriveTypeOfQ", static_cast<int>(q));
  if (q == DRIVE_NO_ROOT_DIR) cases.push_back({"Q:\\", false});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    SetCurrentDirectoryA("C:\\WINDOWS\\SYSTEM32");
    const std::string before = CurrentFolder();
    const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
      SetItemText(dialog, FolderEdit, c.text);
      PostCommand(dialog, WM_COMMAND, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(SetupState.DestinationFolder, c.text);
    if (c.changesFolder) {
      EXPECT_TRUE(IsFolder(c.text));
      EXPECT_STRCASEEQ(CurrentFolder().c_str(), c.text);
    } else {
      EXPECT_EQ(CurrentFolder(), before);
    }
  }
}

TEST_F(DestinationDialogTest, TypingIsUpperCaseAndStopsAtTheBoxWidth) {
  std::string typed, flooded;
  RunDialog("Main", DestinationDialog, [&](HWND dialog) {
    HWND edit = GetDlgItem(dialog, FolderEdit);
    SetItemText(dialog, FolderEdit, "");
    TypeInto(edit, "d:\\tools\\new");
    typed = ItemText(dialog, FolderEdit);
    SetItemText(dialog, FolderEdit, "");
    TypeInto(edit, std::string(200, 'W'));
    flooded = ItemText(dialog, FolderEdit);
    LeaveDialog(dialog);
  });
  EXPECT_EQ(typed, "D:\\TOOLS\\NEW");
  EXPECT_GT(flooded.size(), 10u);
  EXPECT_LT(flooded.size(), 200u) << "the box does not scroll, so typing stops at its width";
}

TEST_F(DestinationDialogTest, CancelAsksAndOnlyYesLeaves) {
  std::string question, text;
  bool openAfterNo = false;
  const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    SetItemText(dialog, FolderEdit, "C:\\SOMEWHERE");
    PostCommand(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    HWND box = WaitForDialogWindow(thread, "Exit Marwindle!", dialog);
    ASSERT_NE(box, nullptr);
    question = MessageBoxText(box);
    AnswerMessageBox(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    Sleep(200);
    openAfterNo = IsWindow(dialog) != FALSE;
    text = ItemText(dialog, FolderEdit);
    // The Close command of the system menu asks the same question.
    PostCommand(dialog, WM_SYSCOMMAND, 0xABCD0002);
    box = WaitForDialogWindow(thread, "Exit Marwindle!", dialog);
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDYES);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(question, SetupConfig.ConfirmExitText);
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(text, "C:\\SOMEWHERE");
  EXPECT_FALSE(IsFolder("C:\\SOMEWHERE"));
}

TEST_F(DestinationDialogTest, SystemCommandOneAcceptsLikeOk) {
  const INT_PTR result = RunDialog("Main", DestinationDialog, [&](HWND dialog) {
    SetItemText(dialog, FolderEdit, "C:\\");
    PostCommand(dialog, WM_SYSCOMMAND, 0x12340001);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(SetupState.DestinationFolder, "C:\\");
}
}  // namespace
