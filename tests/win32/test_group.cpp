// The program group dialog, driven through its real template.
#include "support_screens.h"

#include <gtest/gtest.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
const int GroupEdit = 102;

class GroupDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  }
};

TEST_F(GroupDialogTest, EnterAtOnceKeepsTheProposedName) {
  std::string caption, text;
  HWND focus = nullptr, ok = nullptr;
  RECT placed = {};
  POINT centred = {};
  const INT_PTR result = RunDialog("Group", GroupDialog, [&](HWND dialog) {
    caption = WindowText(dialog);
    text = ItemText(dialog, GroupEdit);
    focus = FocusOf(dialog);
    ok = GetDlgItem(dialog, IDOK);
    GetWindowRect(dialog, &placed);
    centred = CentredCorner(dialog);
    PressEnter(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(caption, "Program Group");
  EXPECT_EQ(text, "Marwindle!");
  EXPECT_EQ(focus, ok) << "OK, not the name box, has the focus";
  EXPECT_EQ(placed.left, centred.x);
  EXPECT_EQ(placed.top, centred.y);
  EXPECT_EQ(SetupConfig.GroupName, "Marwindle!");
}

// Whatever is in the box is taken as it stands, typed or set.
TEST_F(GroupDialogTest, OkStoresTheNameUnchanged) {
  const char* const names[] = {"", "Tools\\Marwindle", "  Mixed Case  "};
  for (const char* name : names) {
    SCOPED_TRACE(std::string("name \"") + name + "\"");
    SetupConfig.GroupName = "Marwindle!";
    const INT_PTR result = RunDialog("Group", GroupDialog, [&](HWND dialog) {
      SetItemText(dialog, GroupEdit, "");
      TypeInto(GetDlgItem(dialog, GroupEdit), name);
      PostCommand(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(SetupConfig.GroupName, name);
  }
}

TEST_F(GroupDialogTest, CancelEndsAtOnceAndKeepsTheName) {
  const WPARAM cancels[] = {MAKEWPARAM(IDCANCEL, BN_CLICKED), 0xABCD0002};
  const UINT messages[] = {WM_COMMAND, WM_SYSCOMMAND};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(::testing::Message() << "message " << std::hex << messages[i]);
    bool asked = false;
    const INT_PTR result = RunDialog("Group", GroupDialog, [&](HWND dialog) {
      SetItemText(dialog, GroupEdit, "Something Else");
      PostCommand(dialog, messages[i], cancels[i]);
      asked = !NoOtherDialogFor(GetWindowThreadProcessId(dialog, nullptr), dialog, 300);
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(asked) << "Cancel asks nothing here";
    EXPECT_EQ(SetupConfig.GroupName, "Marwindle!");
  }
}

TEST_F(GroupDialogTest, SystemCommandOneAcceptsLikeOk) {
  const INT_PTR result = RunDialog("Group", GroupDialog, [&](HWND dialog) {
    SetItemText(dialog, GroupEdit, "Shells");
    PostCommand(dialog, WM_SYSCOMMAND, 0x00050001);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(SetupConfig.GroupName, "Shells");
}
}  // namespace
