// The dialog chain over real templates and real modal dialogs: which steps
// run for each outcome, when the abort clean-up and its message come, and
// that every run ends with the pending-rename list closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/file_names.h"
#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"
#include "support_answerer.h"
#include "support_setup_run.h"

namespace {

using setup_test::BoxAnswerer;
using setup_test::SeenBox;

// What happened, in order: the digit of every dialog that opened, S for the
// shortcut, R (r) for the final routing after a result of 1 (other), T for
// the TerminatedText message.
std::string Trace;

template <char Tag, int Result>
INT_PTR CALLBACK StepProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    Trace += Tag;
    EndDialog(dialog, Result);
  }
  return 0;
}

template <char Tag>
DLGPROC ProcFor(char outcome) {
  switch (outcome) {
    case '1': return StepProc<Tag, 1>;
    case '0': return StepProc<Tag, 0>;
    default: return StepProc<Tag, -1>;
  }
}

void MakeShortcut() { Trace += 'S'; }
void Routing() { Trace += SetupState.DialogResult == 1 ? 'R' : 'r'; }

const char* const Templates[] = {"Main", "License", "IProgress", "Progress", "Group", "Replace"};

// outcomes: one character per step: 1, 0, - (-1), M (template missing).
void RunSixSteps(const std::string& outcomes) {
  DLGPROC procs[6] = {ProcFor<'1'>(outcomes[0]), ProcFor<'2'>(outcomes[1]), ProcFor<'3'>(outcomes[2]),
                      ProcFor<'4'>(outcomes[3]), ProcFor<'5'>(outcomes[4]), ProcFor<'6'>(outcomes[5])};
  const char* names[6];
  for (int i = 0; i < 6; ++i) names[i] = outcomes[i] == 'M' ? "NoSuchTemplate" : Templates[i];
  const ChainStep steps[] = {
      {names[0], procs[0], MissingTemplate::EndRun, OtherResult::Abort, nullptr},
      {names[1], procs[1], MissingTemplate::SkipStep, OtherResult::Abort, nullptr},
      {names[2], procs[2], MissingTemplate::Abort, OtherResult::Abort, nullptr},
      {names[3], procs[3], MissingTemplate::Abort, OtherResult::Abort, nullptr},
      {names[4], procs[4], MissingTemplate::Abort, OtherResult::SkipShortcut, MakeShortcut},
      {names[5], procs[5], MissingTemplate::Abort, OtherResult::GoOn, nullptr},
  };
  RunChain(steps, 6, Routing);
}

std::string WinInitPath() { return PathJoin(SetupState.WindowsFolder, "WinInit.Ini"); }

struct ChainCase {
  const char* Outcomes;
  const char* Expected;
};

TEST(Chain, EachStepOutcomeLeadsWhereItShould) {
  const ChainCase cases[] = {
      {"111111", "12345S6R"},
      // "Main" missing: straight to the end, no message.
      {"M11111", ""},
      // "License" missing: skipped, the chain goes on.
      {"1M1111", "1345S6R"},
      {"1M0111", "13T"},
      {"11M111", "12T"},
      {"1111M1", "1234T"},
      {"11111M", "12345ST"},
      {"011111", "1T"},
      {"101111", "12T"},
      {"11-111", "123T"},
      {"111011", "1234T"},
      // Group: anything but 1 only skips the shortcut.
      {"111101", "123456R"},
      {"1111-1", "123456R"},
      // Replace: any result goes to the final routing.
      {"111110", "12345S6r"},
      {"11111-", "12345S6r"},
  };
  const std::string destination = setup_test::ScratchFolder("chain");
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(std::string("outcomes ") + c.Outcomes);
    Trace.clear();
    std::vector<SeenBox> boxes;
    HWND mainWindow = nullptr;
    {
      BoxAnswerer answerer;
      setup_test::StartFreshSetup(destination);
      mainWindow = SetupState.MainWindow;
      RunSixSteps(c.Outcomes);
      boxes = answerer.Seen();
    }
    for (const SeenBox& box : boxes) {
      if (box.Text == SetupConfig.TerminatedText) {
        Trace += 'T';
        EXPECT_EQ(SetupConfig.ProductName, box.Caption);
        EXPECT_EQ(mainWindow, box.Owner) << "the abort message is owned by the background window";
      }
    }
    EXPECT_EQ(c.Expected, Trace) << "message boxes:\n" << setup_test::Describe(boxes);
    EXPECT_EQ(boxes.size(), std::string(c.Expected).find('T') == std::string::npos ? 0u : 1u)
        << setup_test::Describe(boxes);

    // The end, on every path.
    EXPECT_EQ(INVALID_HANDLE_VALUE, SetupState.PendingRenameList.Handle);
    EXPECT_EQ(nullptr, SetupState.InputBuffer);
    EXPECT_EQ(nullptr, SetupState.OutputBuffer);
    EXPECT_EQ("[Rename]\r\n", setup_test::ReadTextFile(WinInitPath()));
    HANDLE writer = CreateFileA(WinInitPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, writer) << "the list is still held open";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    setup_test::CloseBackground();
  }
}

TEST(Chain, TemplateNamesCompareWithoutLetterCase) {
  setup_test::StartFreshSetup(setup_test::ScratchFolder("case"));
  SetupState.DialogResult = 7;
  Trace.clear();
  EXPECT_TRUE(ShowSetupDialog("main", StepProc<'m', 1>));
  EXPECT_EQ(1, SetupState.DialogResult);
  EXPECT_TRUE(ShowSetupDialog("rEpLaCe", StepProc<'r', 0>));
  EXPECT_EQ(0, SetupState.DialogResult);
  // A missing template shows nothing and leaves the last result alone.
  EXPECT_FALSE(ShowSetupDialog("NoSuchTemplate", StepProc<'x', 0>));
  EXPECT_EQ(0, SetupState.DialogResult);
  EXPECT_EQ("mr", Trace);
  EndSetup();
  setup_test::CloseBackground();
}

TEST(Chain, StartUpFillsTheState) {
  setup_test::StartFreshSetup("");
  char own[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, own, sizeof(own));
  EXPECT_EQ(ExtractFilePath(own), SetupState.SourceFolder);
  ASSERT_FALSE(SetupState.SourceFolder.empty());
  EXPECT_EQ('\\', SetupState.SourceFolder.back());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), SetupState.ScreenWidth);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), SetupState.ScreenHeight);
  char windows[256] = {0};
  GetWindowsDirectoryA(windows, sizeof(windows));
  EXPECT_EQ(windows, SetupState.WindowsFolder);
  EXPECT_NE(nullptr, SetupState.InputBuffer);
  EXPECT_NE(nullptr, SetupState.OutputBuffer);
  EXPECT_FALSE(SetupState.SetupAborted);
  EXPECT_FALSE(SetupState.ReplaceShell);
  EXPECT_FALSE(SetupState.ReplaceTaskManager);

  ASSERT_NE(nullptr, SetupState.MainWindow);
  char className[32] = {0};
  GetClassNameA(SetupState.MainWindow, className, sizeof(className));
  EXPECT_STREQ("TMSetUp", className);
  char title[32] = {0};
  GetWindowTextA(SetupState.MainWindow, title, sizeof(title));
  EXPECT_STREQ("Installation", title);
  EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE),
            GetWindowLongA(SetupState.MainWindow, GWL_STYLE) & static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CAPTION));
  RECT r;
  GetWindowRect(SetupState.MainWindow, &r);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(SetupState.ScreenWidth, r.right - r.left);
  EXPECT_EQ(SetupState.ScreenHeight, r.bottom - r.top);

  EXPECT_NE(INVALID_HANDLE_VALUE, SetupState.PendingRenameList.Handle);
  EndSetup();
  setup_test::CloseBackground();
}

// The abort clean-up removes only what this run's stages made.
bool StageMadeArchive = false;
bool StageMadeProgram = false;
const char* StageProgramName = "Marwindl.Exe";

INT_PTR CALLBACK StageThatStops(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetupConfig.MainProgramFile = StageProgramName;
    SetupState.JoinedArchiveCreated = StageMadeArchive;
    SetupState.MainProgramCreated = StageMadeProgram;
    EndDialog(dialog, 0);
  }
  return 0;
}

TEST(Chain, AbortCleanUpDeletesOnlyTheFilesThisRunMade) {
  const struct {
    bool Archive;
    bool Program;
    const char* ProgramName;
    const char* Left;  // which of the archive, the program and its ".$$$" form remain: A, E, D
  } cases[] = {
      {false, false, "Marwindl.Exe", "AED"},
      {true, false, "Marwindl.Exe", "ED"},
      {false, true, "Marwindl.Exe", "AD"},
      {true, true, "Marwindl.Exe", "D"},
      // Written under ".$$$" beside an earlier installation: that one stays.
      {true, true, "Marwindl.$$$", "E"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ProgramName) + (c.Archive ? " archive made" : "") + (c.Program ? " program made" : ""));
    const std::string destination = setup_test::ScratchFolder("cleanup");
    const std::string archive = destination + "\\Marwindle._TM";
    const std::string program = destination + "\\Marwindl.Exe";
    const std::string dollar = destination + "\\Marwindl.$$$";
    ASSERT_TRUE(setup_test::WriteTextFile(archive, "joined"));
    ASSERT_TRUE(setup_test::WriteTextFile(program, "program"));
    ASSERT_TRUE(setup_test::WriteTextFile(dollar, "new program"));
    StageMadeArchive = c.Archive;
    StageMadeProgram = c.Program;
    StageProgramName = c.ProgramName;
    std::vector<SeenBox> boxes;
    {
      BoxAnswerer answerer;
      setup_test::StartFreshSetup(destination);
      const ChainStep steps[] = {
          {"Main", StepProc<'1', 1>, MissingTemplate::EndRun, OtherResult::Abort, nullptr},
          {"Progress", StageThatStops, MissingTemplate::Abort, OtherResult::Abort, nullptr},
      };
      RunChain(steps, 2, Routing);
      boxes = answerer.Seen();
    }
    std::string left;
    if (GetFileAttributesA(archive.c_str()) != INVALID_FILE_ATTRIBUTES) left += 'A';
    if (GetFileAttributesA(program.c_str()) != INVALID_FILE_ATTRIBUTES) left += 'E';
    if (GetFileAttributesA(dollar.c_str()) != INVALID_FILE_ATTRIBUTES) left += 'D';
    EXPECT_EQ(c.Left, left);
    ASSERT_EQ(1u, boxes.size()) << setup_test::Describe(boxes);
    EXPECT_EQ(SetupConfig.TerminatedText, boxes[0].Text);
    setup_test::CloseBackground();
  }
}

}  // namespace
