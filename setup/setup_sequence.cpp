#include <windows.h>

#include "setup/setup_sequence.h"

#include <cstdlib>

#include "archive/archive_io.h"
#include "archive/stages.h"
#include "runtime/file_names.h"
#include "runtime/record_file.h"
#include "runtime/registry.h"
#include "screens/background_window.h"
#include "screens/dialogs.h"
#include "setup/final_routing.h"
#include "setup/restart_launch.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"
#include "setup/system_integration.h"
#include "shortcuts/program_shortcut.h"

namespace {
WNDCLASSA BackgroundClass;
std::string KeptError;
bool HasKeptError = false;

const ChainStep SetupChain[] = {
    {"Main", DestinationDialog, MissingTemplate::EndRun, OtherResult::Abort, nullptr},
    {"License", AgreementDialog, MissingTemplate::SkipStep, OtherResult::Abort, nullptr},
    {"IProgress", JoinStage, MissingTemplate::Abort, OtherResult::Abort, nullptr},
    {"Progress", UnpackStage, MissingTemplate::Abort, OtherResult::Abort, nullptr},
    {"Group", GroupDialog, MissingTemplate::Abort, OtherResult::SkipShortcut, CreateProgramShortcut},
    {"Replace", ReplaceDialog, MissingTemplate::Abort, OtherResult::GoOn, nullptr},
};

const char* const UnexpectedErrorText = "An unexpected error stopped the installation.";

void Abort() { SetupState.SetupAborted = true; }

void ShowKeptError() {
  if (!HasKeptError) return;
  MessageBoxA(SetupState.MainWindow, KeptError.c_str(), SetupConfig.ProductName.c_str(), MB_OK | MB_ICONERROR);
  HasKeptError = false;
  KeptError.clear();
}

void AbortCleanUp() {
  const std::string archive = PathJoin(SetupState.DestinationFolder, SetupConfig.JoinedArchiveFile);
  if (SetupState.JoinedArchiveCreated && FileExists(archive)) DeleteFileA(archive.c_str());
  const std::string program = PathJoin(SetupState.DestinationFolder, SetupConfig.MainProgramFile);
  if (SetupState.MainProgramCreated && FileExists(program)) DeleteFileA(program.c_str());
  MessageBoxA(SetupState.MainWindow, SetupConfig.TerminatedText.c_str(), SetupConfig.ProductName.c_str(), MB_OK);
}

// A registry write that fails must not cost the user the final questions:
// the files are in place by now.
template <typename Step>
void RunSystemStep(Step step, const char* whatFailed) {
  try {
    step();
  } catch (const std::exception& error) {
    std::string text = std::string(whatFailed) + "\r\n\r\n" + error.what();
    MessageBoxA(SetupState.MainWindow, text.c_str(), SetupConfig.ProductName.c_str(), MB_OK | MB_ICONWARNING);
  }
}

}  // namespace

void RunFinalRouting() {
  ReadPlatformId();
  const std::vector<FinalStep> plan =
      PlanFinalRouting(SetupState.DialogResult, SetupState.PlatformId, SetupState.ReplaceTaskManager,
                       SetupState.ReplaceShell, SetupConfig.MainProgramFile);
  for (FinalStep step : plan) {
    switch (step) {
      case FinalStep::RegisterUninstall:
        RunSystemStep(RegisterUninstall, "Marwindle! could not be registered for uninstallation.");
        break;
      case FinalStep::CopyDriverFile:
        RunSystemStep(CopyDriverFile, "The Marwindle! driver could not be copied.");
        break;
      case FinalStep::ReplaceTaskManagerFiles:
        RunSystemStep(ReplaceTaskManagerFiles, "The Windows Task Manager could not be replaced.");
        break;
      case FinalStep::ReplaceWindowsShell:
        RunSystemStep(ReplaceWindowsShell, "Marwindle! could not be made the Windows shell.");
        break;
      case FinalStep::SuccessRunQuestion:
        SuccessRunQuestion();
        break;
      case FinalStep::RestartQuestion:
        RestartQuestion();
        break;
    }
  }
}

void KeepSetupError(const std::exception& error) { KeepSetupError(std::string(error.what())); }

void KeepSetupError(const std::string& text) {
  if (HasKeptError) return;  // the first error is the one that stopped the run
  KeptError = text;
  HasKeptError = true;
}

bool ShowSetupDialog(const char* templateName, DLGPROC procedure) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, templateName, MAKEINTRESOURCEA(5));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return false;
  SetupState.DialogResult =
      static_cast<std::int32_t>(DialogBoxParamA(module, templateName, SetupState.MainWindow, procedure, 0));
  FreeResource(loaded);
  return true;
}

void StartSetup() {
  BackgroundClass = WNDCLASSA{};
  BackgroundClass.style = CS_PARENTDC;
  BackgroundClass.lpfnWndProc = BackgroundWindowProc;
  BackgroundClass.lpszClassName = "TMSetUp";

  char ownPath[MAX_PATH + 1] = {0};
  GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
  SetupState.SourceFolder = ExtractFilePath(ownPath);

  SetupState.InputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
  SetupState.OutputBuffer = static_cast<unsigned char*>(std::malloc(TransferBufferSize));
  SetupState.ReplaceTaskManager = false;
  SetupState.ReplaceShell = false;
  SetupState.ReadCallback = ArchiveReader;
  SetupState.WriteCallback = ArchiveWriter;
  SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);

  HINSTANCE module = GetModuleHandleA(nullptr);
  BackgroundClass.hInstance = module;
  RegisterClassA(&BackgroundClass);
  SetupState.MainWindow = CreateWindowExA(0, "TMSetUp", "Installation", WS_POPUP | WS_VISIBLE, 0, 0,
                                          SetupState.ScreenWidth, SetupState.ScreenHeight, nullptr, nullptr, module,
                                          nullptr);
  SetupState.LogoBitmap = LoadBitmapA(module, "logo");

  char windows[256] = {0};
  GetWindowsDirectoryA(windows, sizeof(windows));
  SetupState.WindowsFolder = windows;

  OpenPendingRenameList();
  SetupState.SetupAborted = false;
}

void EndSetup() {
  ClosePendingRenameList();
  std::free(SetupState.InputBuffer);
  std::free(SetupState.OutputBuffer);
  SetupState.InputBuffer = nullptr;
  SetupState.OutputBuffer = nullptr;
}

void RunChain(const ChainStep* steps, int count) { RunChain(steps, count, RunFinalRouting); }

void RunChain(const ChainStep* steps, int count, void (*finalRouting)()) {
  bool endRun = false;
  try {
    for (int i = 0; i < count && !SetupState.SetupAborted && !endRun; ++i) {
      const ChainStep& step = steps[i];
      if (!ShowSetupDialog(step.TemplateName, step.Procedure)) {
        switch (step.OnMissing) {
          case MissingTemplate::EndRun: endRun = true; break;
          case MissingTemplate::SkipStep: break;
          case MissingTemplate::Abort: Abort(); break;
        }
        continue;
      }
      if (HasKeptError) {
        Abort();
        break;
      }
      if (SetupState.DialogResult == 1) {
        if (step.OnResultOne != nullptr) step.OnResultOne();
      } else if (step.OnOther == OtherResult::Abort) {
        Abort();
      }
    }
  } catch (const std::exception& error) {
    KeepSetupError(error);
    Abort();
  } catch (...) {
    KeepSetupError(UnexpectedErrorText);
    Abort();
  }

  if (SetupState.SetupAborted) {
    ShowKeptError();
    AbortCleanUp();
  } else if (!endRun) {
    // The files are in place by now: an error here is reported, but it must
    // not send the run through the abort clean-up, which would delete the
    // installed main program.
    try {
      finalRouting();
    } catch (const std::exception& error) {
      KeepSetupError(error);
    } catch (...) {
      KeepSetupError(UnexpectedErrorText);
    }
    ShowKeptError();
  }
  EndSetup();
}

void RunSetup() {
  StartSetup();
  RunChain(SetupChain, static_cast<int>(sizeof(SetupChain) / sizeof(SetupChain[0])));
}
