// The licence agreement dialog, driven through its real template.
#include "support_screens.h"

#include <gtest/gtest.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
class AgreementDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  }
};

// The box made at start-up has no id of its own.
HWND AgreementBox(HWND dialog) { return GetDlgItem(dialog, 0); }

TEST_F(AgreementDialogTest, OpensCentredWithTheAgreementAndEnterAgrees) {
  std::string caption, boxText, boxClass;
  LONG style = 0, exStyle = 0;
  RECT box = {}, client = {}, placed = {};
  POINT centred = {};
  HWND focus = nullptr, agree = nullptr;
  const INT_PTR result = RunDialog("License", AgreementDialog, [&](HWND dialog) {
    caption = WindowText(dialog);
    HWND edit = AgreementBox(dialog);
    ASSERT_NE(edit, nullptr) << "no agreement box";
    char cls[32] = {0};
    GetClassNameA(edit, cls, sizeof(cls));
    boxClass = cls;
    boxText = WindowText(edit);
    style = GetWindowLongA(edit, GWL_STYLE);
    exStyle = GetWindowLongA(edit, GWL_EXSTYLE);
    GetWindowRect(edit, &box);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &placed);
    centred = CentredCorner(dialog);
    focus = FocusOf(dialog);
    agree = GetDlgItem(dialog, IDOK);
    PressEnter(dialog);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(caption, "License Agreement");
  EXPECT_STRCASEEQ(boxClass.c_str(), "Edit");
  EXPECT_EQ(boxText, AgreementText);
  EXPECT_EQ(static_cast<DWORD>(style) & 0xFFFF0FFF, 0x50200804u) << std::hex << style;
  EXPECT_EQ(style & (WS_HSCROLL | ES_AUTOHSCROLL | WS_TABSTOP), 0) << "long lines wrap; the box is not a tab stop";
  EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
  // 10 pixels free at the left, top and right, 80 at the bottom.
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.right, client.right - 10);
  EXPECT_EQ(box.bottom, client.bottom - 80);
  EXPECT_EQ(placed.left, centred.x);
  EXPECT_EQ(placed.top, centred.y);
  EXPECT_EQ(focus, agree);
}

TEST_F(AgreementDialogTest, ExitAsksAndNoKeepsTheAgreementWhereItWas) {
  int firstLine = -1, lineAfterNo = -2;
  std::string question, questionCaption;
  const INT_PTR result = RunDialog("License", AgreementDialog, [&](HWND dialog) {
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    HWND edit = AgreementBox(dialog);
    SendMessageA(edit, EM_LINESCROLL, 0, 5);
    firstLine = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    PostCommand(dialog, WM_COMMAND, IDCANCEL);
    HWND box = WaitForDialogWindow(thread, nullptr, dialog);
    ASSERT_NE(box, nullptr) << "no exit question";
    questionCaption = WindowText(box);
    question = MessageBoxText(box);
    AnswerMessageBox(box, IDNO);
    ASSERT_TRUE(WaitUntilGone(box));
    Sleep(200);
    ASSERT_TRUE(IsWindow(dialog));
    lineAfterNo = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    PostCommand(dialog, WM_COMMAND, IDCANCEL);
    box = WaitForDialogWindow(thread, "Exit Marwindle!", dialog);
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDYES);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(questionCaption, "Exit Marwindle!");
  EXPECT_EQ(question, SetupConfig.ConfirmExitText);
  EXPECT_GT(firstLine, 0) << "the agreement should be long enough to scroll";
  EXPECT_EQ(lineAfterNo, firstLine);
}

// WM_SYSCOMMAND acts on the low 16 bits of wParam exactly as WM_COMMAND does.
TEST_F(AgreementDialogTest, CommandsByTheirLowWord) {
  struct Case {
    UINT message;
    WPARAM wParam;
    bool asks;
    INT_PTR result;
  };
  const Case cases[] = {
      {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), false, 1},
      {WM_SYSCOMMAND, 0x00010001, false, 1},
      {WM_SYSCOMMAND, 0xFFFF0002, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << "message " << c.message << ", wParam " << c.wParam);
    bool asked = false;
    const INT_PTR result = RunDialog("License", AgreementDialog, [&](HWND dialog) {
      const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
      PostCommand(dialog, c.message, c.wParam);
      if (HWND box = WaitForDialogWindow(thread, "Exit Marwindle!", dialog, c.asks ? 5000 : 300)) {
        asked = true;
        AnswerMessageBox(box, IDYES);
      }
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(asked, c.asks);
  }
}
}  // namespace
