// Errors raised while the chain runs: kept by the dialog, reported by the
// sequence with the product's name as caption, then the abort clean-up; an
// error after the chain is reported without undoing the installation.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"
#include "support_answerer.h"
#include "support_setup_run.h"

namespace {

using setup_test::BoxAnswerer;
using setup_test::SeenBox;

int RoutingRuns = 0;

INT_PTR CALLBACK GoOn(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 1);
  return 0;
}

// A stage whose work fails: it made the joined archive, then kept the error
// in its dialog procedure, as nothing may unwind through DialogBoxParamA.
template <int Result>
INT_PTR CALLBACK FailingStage(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    try {
      SetupState.JoinedArchiveCreated = true;
      throw std::runtime_error("Cannot read A:\\Marwindl.002: the disk is damaged.");
    } catch (const std::exception& error) {
      KeepSetupError(error);
      KeepSetupError("a second error, which the user need not see");
      EndDialog(dialog, Result);
    }
  }
  return 0;
}

// A join stage that made the joined archive and went on.
INT_PTR CALLBACK JoinedAndWentOn(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetupState.JoinedArchiveCreated = true;
    EndDialog(dialog, 1);
  }
  return 0;
}

void Routing() { ++RoutingRuns; }
void FailingRouting() {
  ++RoutingRuns;
  throw std::runtime_error("Failed to set data for UninstallString: access denied.");
}
void FailingShortcut() { throw std::runtime_error("The shortcut could not be saved."); }

struct Outcome {
  std::vector<SeenBox> Boxes;
  bool ArchiveLeft;
  bool ListClosed;
};

Outcome RunSteps(const ChainStep* steps, int count, void (*routing)()) {
  const std::string destination = setup_test::ScratchFolder("errors");
  const std::string archive = destination + "\\Marwindle._TM";
  setup_test::WriteTextFile(archive, "part of a joined archive");
  RoutingRuns = 0;
  Outcome outcome;
  {
    BoxAnswerer answerer;
    setup_test::StartFreshSetup(destination);
    RunChain(steps, count, routing);
    outcome.Boxes = answerer.Seen();
  }
  outcome.ArchiveLeft = GetFileAttributesA(archive.c_str()) != INVALID_FILE_ATTRIBUTES;
  outcome.ListClosed = SetupState.PendingRenameList.Handle == INVALID_HANDLE_VALUE;
  setup_test::CloseBackground();
  return outcome;
}

TEST(SetupErrors, AnErrorKeptInADialogIsShownThenTheRunIsAborted) {
  // Whatever the dialog's result, a kept error stops the chain.
  for (DLGPROC stage : {FailingStage<0>, FailingStage<1>}) {
    const ChainStep steps[] = {
        {"Main", GoOn, MissingTemplate::EndRun, OtherResult::Abort, nullptr},
        {"IProgress", stage, MissingTemplate::Abort, OtherResult::Abort, nullptr},
        {"Progress", GoOn, MissingTemplate::Abort, OtherResult::Abort, nullptr},
    };
    const Outcome outcome = RunSteps(steps, 3, Routing);
    ASSERT_EQ(2u, outcome.Boxes.size()) << setup_test::Describe(outcome.Boxes);
    EXPECT_EQ("Cannot read A:\\Marwindl.002: the disk is damaged.", outcome.Boxes[0].Text);
    EXPECT_EQ(SetupConfig.ProductName, outcome.Boxes[0].Caption);
    EXPECT_EQ(SetupConfig.TerminatedText, outcome.Boxes[1].Text);
    EXPECT_EQ(SetupConfig.ProductName, outcome.Boxes[1].Caption);
    EXPECT_FALSE(outcome.ArchiveLeft) << "the abort clean-up follows the error";
    EXPECT_EQ(0, RoutingRuns);
    EXPECT_TRUE(outcome.ListClosed);
  }
}

TEST(SetupErrors, AnErrorAfterTheChainIsShownWithoutUndoingTheInstallation) {
  const ChainStep steps[] = {
      {"Main", GoOn, MissingTemplate::EndRun, OtherResult::Abort, nullptr},
      {"IProgress", JoinedAndWentOn, MissingTemplate::Abort, OtherResult::Abort, nullptr},
      {"Replace", GoOn, MissingTemplate::Abort, OtherResult::GoOn, nullptr},
  };
  const Outcome outcome = RunSteps(steps, 3, FailingRouting);
  EXPECT_EQ(1, RoutingRuns);
  ASSERT_EQ(1u, outcome.Boxes.size()) << setup_test::Describe(outcome.Boxes);
  EXPECT_EQ("Failed to set data for UninstallString: access denied.", outcome.Boxes[0].Text);
  EXPECT_EQ(SetupConfig.ProductName, outcome.Boxes[0].Caption);
  EXPECT_TRUE(outcome.ArchiveLeft) << "no abort clean-up after the chain has completed";
  EXPECT_TRUE(outcome.ListClosed);
}

TEST(SetupErrors, AnErrorFromTheShortcutAbortsTheChain) {
  const ChainStep steps[] = {
      {"Main", GoOn, MissingTemplate::EndRun, OtherResult::Abort, nullptr},
      {"Group", GoOn, MissingTemplate::Abort, OtherResult::SkipShortcut, FailingShortcut},
      {"Replace", GoOn, MissingTemplate::Abort, OtherResult::GoOn, nullptr},
  };
  const Outcome outcome = RunSteps(steps, 3, Routing);
  EXPECT_EQ(0, RoutingRuns);
  ASSERT_EQ(2u, outcome.Boxes.size()) << setup_test::Describe(outcome.Boxes);
  EXPECT_EQ("The shortcut could not be saved.", outcome.Boxes[0].Text);
  EXPECT_EQ(SetupConfig.TerminatedText, outcome.Boxes[1].Text);
  EXPECT_TRUE(outcome.ListClosed);
}

}  // namespace
