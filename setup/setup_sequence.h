#pragma once
// The run from start-up to the end.
#include <windows.h>

void RunSetup();
// Runs one step of the chain: false when the template is missing.
bool ShowSetupDialog(const char* templateName, DLGPROC procedure);

#include <exception>
#include <string>

// Work that runs inside a dialog must not let an error unwind through the
// system's dialog code: the dialog keeps it here and ends with 0, and
// RunSetup reports it once the dialog has closed.
void KeepSetupError(const std::exception& error);
void KeepSetupError(const std::string& text);

// One step of the chain as data.
enum class MissingTemplate { EndRun, SkipStep, Abort };
enum class OtherResult { Abort, SkipShortcut, GoOn };

struct ChainStep {
  const char* TemplateName;
  DLGPROC Procedure;
  MissingTemplate OnMissing;
  OtherResult OnOther;
  void (*OnResultOne)();  // what follows a result of 1 (the shortcut after "Group"), or null
};

// The chain, the final routing or the abort clean-up, and the end, over the
// steps given (RunSetup passes the real chain and RunFinalRouting).
void RunChain(const ChainStep* steps, int count);
void RunChain(const ChainStep* steps, int count, void (*finalRouting)());
// System integration and the final question, once the "Replace" dialog has
// closed; errors of the system steps are reported and the run goes on.
void RunFinalRouting();
// The start-up, in its order.
void StartSetup();
// The end: list closed, buffers released.
void EndSetup();
