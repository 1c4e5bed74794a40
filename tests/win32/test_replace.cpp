// The shell replacement options dialog, driven through its real template.
#include "support_screens.h"

#include <gtest/gtest.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
const int TaskManagerBox = 103;
const int ShellBox = 104;

class ReplaceDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetupState.ReplaceShell = false;
    SetupState.ReplaceTaskManager = false;
  }
};

TEST_F(ReplaceDialogTest, OpensCentredUncheckedWithOkFocused) {
  std::string caption;
  UINT shell = 99, taskManager = 99;
  HWND focus = nullptr, ok = nullptr;
  RECT placed = {};
  POINT centred = {};
  const INT_PTR result = RunDialog("Replace", ReplaceDialog, [&](HWND dialog) {
    caption = WindowText(dialog);
    shell = IsDlgButtonChecked(dialog, ShellBox);
    taskManager = IsDlgButtonChecked(dialog, TaskManagerBox);
    focus = FocusOf(dialog);
    ok = GetDlgItem(dialog, IDOK);
    GetWindowRect(dialog, &placed);
    centred = CentredCorner(dialog);
    PressEnter(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(caption, "Windows Interface");
  EXPECT_EQ(shell, BST_UNCHECKED);
  EXPECT_EQ(taskManager, BST_UNCHECKED);
  EXPECT_EQ(focus, ok);
  EXPECT_EQ(placed.left, centred.x);
  EXPECT_EQ(placed.top, centred.y);
  EXPECT_FALSE(SetupState.ReplaceShell);
  EXPECT_FALSE(SetupState.ReplaceTaskManager);
}

// Clicks on the boxes, then OK or Cancel: only OK records, and it reads the
// boxes as they stand then.
TEST_F(ReplaceDialogTest, FlagsFollowTheBoxesOnOkOnly) {
  struct Case {
    const char* name;
    std::vector<int> clicks;
    WPARAM end;
    INT_PTR result;
    bool shell;
    bool taskManager;
  };
  const Case cases[] = {
      {"none", {}, IDOK, 1, false, false},
      {"both", {ShellBox, TaskManagerBox}, IDOK, 1, true, true},
      {"shell only", {ShellBox}, IDOK, 1, true, false},
      {"task manager only", {TaskManagerBox}, IDOK, 1, false, true},
      {"checked then unchecked", {ShellBox, TaskManagerBox, ShellBox}, IDOK, 1, false, true},
      {"cancel after checking", {ShellBox, TaskManagerBox}, IDCANCEL, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetupState.ReplaceShell = false;
    SetupState.ReplaceTaskManager = false;
    bool asked = false;
    const INT_PTR result = RunDialog("Replace", ReplaceDialog, [&](HWND dialog) {
      for (int box : c.clicks) SendDlgItemMessageA(dialog, box, BM_CLICK, 0, 0);
      PostCommand(dialog, WM_COMMAND, MAKEWPARAM(c.end, BN_CLICKED));
      asked = !NoOtherDialogFor(GetWindowThreadProcessId(dialog, nullptr), dialog, 300);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_FALSE(asked);
    EXPECT_EQ(SetupState.ReplaceShell, c.shell);
    EXPECT_EQ(SetupState.ReplaceTaskManager, c.taskManager);
  }
}

TEST_F(ReplaceDialogTest, SystemCommandsActLikeTheButtons) {
  const INT_PTR accepted = RunDialog("Replace", ReplaceDialog, [&](HWND dialog) {
    SendDlgItemMessageA(dialog, TaskManagerBox, BM_CLICK, 0, 0);
    PostCommand(dialog, WM_SYSCOMMAND, 0x77770001);
  });
  EXPECT_EQ(accepted, 1);
  EXPECT_TRUE(SetupState.ReplaceTaskManager);
  EXPECT_FALSE(SetupState.ReplaceShell);

  const INT_PTR cancelled = RunDialog("Replace", ReplaceDialog, [&](HWND dialog) {
    SendDlgItemMessageA(dialog, ShellBox, BM_CLICK, 0, 0);
    PostCommand(dialog, WM_SYSCOMMAND, 0x77770002);
  });
  EXPECT_EQ(cancelled, 0);
  EXPECT_FALSE(SetupState.ReplaceShell);
}
}  // namespace
