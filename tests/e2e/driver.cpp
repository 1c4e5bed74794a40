// mwdriver: a scripted user. Starts one program, then plays a script of
// steps against its windows: waits for dialogs and message boxes by caption,
// reads and sets control texts, clicks, answers, and checks the exit code.
// Every step prints itself; the first step that does not come true within its
// timeout ends the run with exit code 1 and a list of what was on screen.
//
//   mwdriver.exe SCRIPT      (a file; "-" or no argument reads standard input)
//
// The language is described in README.md next to this file.

// GetGUIThreadInfo (the focus of another thread) needs the newer headers;
// the driver only ever runs under Wine, never on the old systems.
#undef WINVER
#define WINVER 0x0500
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Program {
  PROCESS_INFORMATION Info;
  bool Started;
  bool Ended;
  DWORD ExitCode;
};

Program Target = {};
HWND Current = nullptr;           // the window that the last wait/msgbox found
std::string CurrentCaption;
DWORD StepTimeoutMs = 30000;
int LineNumber = 0;
std::string StepText;

const DWORD PollMs = 50;

// ----------------------------------------------------------------- output

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fflush(stdout);
}

std::string Shown(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    if (ch == '\r') out += "\\r";
    else if (ch == '\n') out += "\\n";
    else if (ch == '\t') out += "\\t";
    else if (ch == '"') out += "\\\"";
    else out += ch;
  }
  return out + "\"";
}

// ------------------------------------------------------------ the program

bool ProgramRunning() {
  if (!Target.Started || Target.Ended) return false;
  if (WaitForSingleObject(Target.Info.hProcess, 0) == WAIT_OBJECT_0) {
    GetExitCodeProcess(Target.Info.hProcess, &Target.ExitCode);
    Target.Ended = true;
    return false;
  }
  return true;
}

void StopProgram() {
  if (ProgramRunning()) {
    TerminateProcess(Target.Info.hProcess, 99);
    WaitForSingleObject(Target.Info.hProcess, 5000);
  }
}

// --------------------------------------------------------------- windows

std::string ClassOf(HWND window) {
  char name[256] = {0};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

// WM_GETTEXT is marshalled across processes; GetWindowText alone would not
// see an edit control's text in another process.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::vector<char> buffer(length + 2, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                           SMTO_ABORTIFHUNG, 5000, &got)) {
    return "";
  }
  return std::string(&buffer[0], got);
}

bool IsDialogClass(HWND window) { return ClassOf(window) == "#32770"; }

struct WindowList {
  std::vector<HWND> Windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == Target.Info.dwProcessId && IsWindowVisible(window)) {
    reinterpret_cast<WindowList*>(param)->Windows.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> ProgramWindows() {
  WindowList list;
  if (Target.Started) EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&list));
  return list.Windows;
}

std::vector<HWND> ProgramDialogs() {
  std::vector<HWND> dialogs;
  for (HWND window : ProgramWindows()) {
    if (IsDialogClass(window)) dialogs.push_back(window);
  }
  return dialogs;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
  reinterpret_cast<WindowList*>(param)->Windows.push_back(window);
  return TRUE;
}

std::string Describe(HWND window) {
  std::string out = "[" + ClassOf(window) + "] " + Shown(TextOf(window));
  if (!IsDialogClass(window)) return out;
  WindowList children;
  EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children.Windows) {
    char line[64];
    std::snprintf(line, sizeof(line), "\n      control %d ", GetDlgCtrlID(child) & 0xFFFF);
    out += line + ClassOf(child) + " " + Shown(TextOf(child));
    if (!IsWindowVisible(child)) out += " (hidden)";
    if (!IsWindowEnabled(child)) out += " (disabled)";
  }
  return out;
}

std::string Screen() {
  std::string out;
  if (!Target.Started) return "  no program has been started\n";
  if (!ProgramRunning()) {
    char line[96];
    std::snprintf(line, sizeof(line), "  the program has ended with exit code %lu\n",
                  static_cast<unsigned long>(Target.ExitCode));
    return line;
  }
  const std::vector<HWND> windows = ProgramWindows();
  if (windows.empty()) return "  the program shows no visible window\n";
  out = "  visible windows of the program:\n";
  for (HWND window : windows) out += "    " + Describe(window) + "\n";
  return out;
}

[[noreturn]] void Fail(const std::string& what) {
  Say("FAILED at line %d: %s\n  %s\n%s", LineNumber, StepText.c_str(), what.c_str(), Screen().c_str());
  StopProgram();
  std::exit(1);
}

[[noreturn]] void ScriptError(const std::string& what) {
  Say("script error at line %d: %s\n  %s\n", LineNumber, StepText.c_str(), what.c_str());
  StopProgram();
  std::exit(2);
}

// Polls until found() is true or the step's time is up.
template <typename Found>
bool Within(Found found) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (found()) return true;
    if (GetTickCount() - start >= StepTimeoutMs) return false;
    Sleep(PollMs);
  }
}

HWND FindDialog(const std::string& caption) {
  for (HWND window : ProgramDialogs()) {
    if (TextOf(window) == caption) return window;
  }
  return nullptr;
}

HWND FindMessageBox(const std::string& caption, const std::string& text) {
  for (HWND window : ProgramDialogs()) {
    if (TextOf(window) != caption) continue;
    HWND textControl = GetDlgItem(window, 0xFFFF);
    if (textControl != nullptr && TextOf(textControl) == text) return window;
  }
  return nullptr;
}

HWND CurrentWindow() {
  if (Current == nullptr) ScriptError("no current window: use wait or msgbox first");
  if (!IsWindow(Current)) Fail("the current window " + Shown(CurrentCaption) + " has closed");
  return Current;
}

HWND Control(int id) {
  HWND control = GetDlgItem(CurrentWindow(), id);
  if (control == nullptr) Fail("the window " + Shown(CurrentCaption) + " has no control " + std::to_string(id));
  return control;
}

// ------------------------------------------------------------ the script

enum ArgKind { Text, Path, Number, Word };

// Texts understand \r \n \t \\ \" ; paths are taken as they stand, so that
// "C:\new\run.exe" means what it says.
std::string Unescape(const std::string& raw) {
  std::string out;
  for (std::string::size_type i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      const char next = raw[i + 1];
      if (next == 'r') { out += '\r'; ++i; continue; }
      if (next == 'n') { out += '\n'; ++i; continue; }
      if (next == 't') { out += '\t'; ++i; continue; }
      if (next == '\\' || next == '"') { out += next; ++i; continue; }
    }
    out += raw[i];
  }
  return out;
}

struct Cursor {
  const std::string& Line;
  std::string::size_type At;
};

void SkipBlanks(Cursor& c) {
  while (c.At < c.Line.size() && (c.Line[c.At] == ' ' || c.Line[c.At] == '\t')) ++c.At;
}

std::string TakeArg(Cursor& c, ArgKind kind) {
  SkipBlanks(c);
  if (c.At >= c.Line.size()) ScriptError("an argument is missing");
  if (kind == Text || kind == Path) {
    if (c.Line[c.At] != '"') ScriptError("expected a quoted argument");
    std::string raw;
    ++c.At;
    for (;;) {
      if (c.At >= c.Line.size()) ScriptError("unterminated quoted argument");
      const char ch = c.Line[c.At];
      if (ch == '"') { ++c.At; break; }
      if (kind == Text && ch == '\\' && c.At + 1 < c.Line.size()) {
        raw += ch;
        raw += c.Line[c.At + 1];
        c.At += 2;
        continue;
      }
      raw += ch;
      ++c.At;
    }
    return kind == Text ? Unescape(raw) : raw;
  }
  const std::string::size_type start = c.At;
  while (c.At < c.Line.size() && c.Line[c.At] != ' ' && c.Line[c.At] != '\t') ++c.At;
  return c.Line.substr(start, c.At - start);
}

long TakeNumber(Cursor& c) {
  const std::string word = TakeArg(c, Number);
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 0);
  if (end == word.c_str() || *end != '\0') ScriptError("not a number: " + word);
  return value;
}

std::string Rest(Cursor& c) {
  SkipBlanks(c);
  std::string rest = c.Line.substr(c.At);
  c.At = c.Line.size();
  return rest;
}

void NoMoreArgs(Cursor& c) {
  SkipBlanks(c);
  if (c.At < c.Line.size()) ScriptError("unexpected text: " + c.Line.substr(c.At));
}

// ------------------------------------------------------------------ steps

void Run(const std::string& path, const std::string& args) {
  if (ProgramRunning()) ScriptError("a program is already running");
  std::string folder = path;
  const std::string::size_type slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  std::string commandLine = "\"" + path + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  Target = Program{};
  if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &Target.Info)) {
    Fail("could not start " + path + " (error " + std::to_string(GetLastError()) + ")");
  }
  Target.Started = true;
  Current = nullptr;
  WaitForInputIdle(Target.Info.hProcess, 5000);
}

void WaitDialog(const std::string& caption) {
  HWND found = nullptr;
  if (!Within([&] { return (found = FindDialog(caption)) != nullptr || !ProgramRunning(); }) || found == nullptr) {
    Fail("expected a dialog or message box with the caption " + Shown(caption) + " within " +
         std::to_string(StepTimeoutMs / 1000) + " s");
  }
  Current = found;
  CurrentCaption = caption;
}

void WaitMessageBox(const std::string& caption, const std::string& text) {
  HWND found = nullptr;
  if (!Within([&] { return (found = FindMessageBox(caption, text)) != nullptr || !ProgramRunning(); }) ||
      found == nullptr) {
    Fail("expected a message box " + Shown(caption) + " saying " + Shown(text) + " within " +
         std::to_string(StepTimeoutMs / 1000) + " s");
  }
  Current = found;
  CurrentCaption = caption;
}

void Gone(const std::string& caption) {
  if (!Within([&] { return FindDialog(caption) == nullptr; })) {
    Fail("the window " + Shown(caption) + " is still there after " + std::to_string(StepTimeoutMs / 1000) + " s");
  }
}

void ExpectText(int id, const std::string& text) {
  std::string found;
  if (!Within([&] { return (found = TextOf(Control(id))) == text; })) {
    Fail("control " + std::to_string(id) + " says " + Shown(found) + ", expected " + Shown(text));
  }
}

void SetText(int id, const std::string& text) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                           StepTimeoutMs, &result)) {
    Fail("control " + std::to_string(id) + " did not take its text");
  }
}

void Click(int id) {
  PostMessageA(CurrentWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

// A command for which the window may have no control, as the Esc key sends
// IDCANCEL to a dialog without a Cancel button.
void Command(int id) {
  HWND control = GetDlgItem(CurrentWindow(), id);
  PostMessageA(CurrentWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void SetCheck(int id, bool checked) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0, SMTO_ABORTIFHUNG,
                      StepTimeoutMs, &result);
}

void ExpectChecked(int id, bool checked) {
  DWORD_PTR state = 0;
  if (!Within([&] {
        return SendMessageTimeoutA(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
               (state == BST_CHECKED) == checked;
      })) {
    Fail("check box " + std::to_string(id) + " is " + (state == BST_CHECKED ? "checked" : "not checked"));
  }
}

void ExpectFocus(int id) {
  HWND expected = Control(id);
  HWND focus = nullptr;
  const DWORD thread = GetWindowThreadProcessId(CurrentWindow(), nullptr);
  if (!Within([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        focus = GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
        return focus == expected;
      })) {
    const std::string holder =
        focus == nullptr ? std::string("no window") : "control " + std::to_string(GetDlgCtrlID(focus) & 0xFFFF);
    Fail("control " + std::to_string(id) + " does not have the focus; " + holder + " has it");
  }
}

void Answer(const std::string& word) {
  int id = 0;
  if (word == "yes") id = IDYES;
  else if (word == "no") id = IDNO;
  else if (word == "ok") id = IDOK;
  else if (word == "cancel") id = IDCANCEL;
  else ScriptError("answer takes yes, no, ok or cancel");
  HWND box = CurrentWindow();
  if (GetDlgItem(box, id) == nullptr) Fail("the message box " + Shown(CurrentCaption) + " has no " + word + " button");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  // A message box always closes on its answer; waiting for that keeps the
  // next step from finding the same box again.
  if (!Within([&] { return !IsWindow(box); })) Fail("the message box did not close after " + word);
  Current = nullptr;
}

void ExpectWindowCount(long count) {
  std::size_t found = 0;
  if (!Within([&] { return (found = ProgramDialogs().size()) == static_cast<std::size_t>(count); })) {
    Fail("expected " + std::to_string(count) + " dialogs or message boxes, found " + std::to_string(found));
  }
}

void ExpectWindow(const std::string& className, const std::string& caption) {
  if (!Within([&] {
        for (HWND window : ProgramWindows()) {
          if (ClassOf(window) == className && TextOf(window) == caption) return true;
        }
        return false;
      })) {
    Fail("expected a window of class " + className + " with the caption " + Shown(caption));
  }
}

void ExpectFile(const std::string& path, bool present) {
  if (!Within([&] { return (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present; })) {
    Fail(path + (present ? " does not exist" : " still exists"));
  }
}

void Copy(const std::string& from, const std::string& to) {
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
    Fail("could not copy " + from + " to " + to + " (error " + std::to_string(GetLastError()) + ")");
  }
}

void Delete(const std::string& path) {
  if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    Fail("could not delete " + path + " (error " + std::to_string(GetLastError()) + ")");
  }
}

void Exit(long code) {
  if (!Target.Started) ScriptError("no program has been started");
  if (!Within([&] { return !ProgramRunning(); })) {
    Fail("the program is still running after " + std::to_string(StepTimeoutMs / 1000) + " s");
  }
  if (Target.ExitCode != static_cast<DWORD>(code)) {
    Fail("the program ended with exit code " + std::to_string(Target.ExitCode) + ", expected " +
         std::to_string(code));
  }
}

void Play(const std::string& line) {
  Cursor c{line, 0};
  const std::string command = TakeArg(c, Word);
  if (command == "run") {
    const std::string path = TakeArg(c, Path);
    Run(path, Rest(c));
    return;
  } else if (command == "timeout") {
    const long seconds = TakeNumber(c);
    if (seconds <= 0) ScriptError("timeout takes a number of seconds above 0");
    StepTimeoutMs = static_cast<DWORD>(seconds) * 1000;
  } else if (command == "wait") {
    WaitDialog(TakeArg(c, Text));
  } else if (command == "msgbox") {
    const std::string caption = TakeArg(c, Text);
    WaitMessageBox(caption, TakeArg(c, Text));
  } else if (command == "gone") {
    Gone(TakeArg(c, Text));
  } else if (command == "expect-text") {
    const int id = static_cast<int>(TakeNumber(c));
    ExpectText(id, TakeArg(c, Text));
  } else if (command == "settext") {
    const int id = static_cast<int>(TakeNumber(c));
    SetText(id, TakeArg(c, Text));
  } else if (command == "click") {
    Click(static_cast<int>(TakeNumber(c)));
  } else if (command == "command") {
    Command(static_cast<int>(TakeNumber(c)));
  } else if (command == "check" || command == "uncheck") {
    SetCheck(static_cast<int>(TakeNumber(c)), command == "check");
  } else if (command == "expect-checked" || command == "expect-unchecked") {
    ExpectChecked(static_cast<int>(TakeNumber(c)), command == "expect-checked");
  } else if (command == "expect-focus") {
    ExpectFocus(static_cast<int>(TakeNumber(c)));
  } else if (command == "answer") {
    Answer(TakeArg(c, Word));
  } else if (command == "expect-window-count") {
    ExpectWindowCount(TakeNumber(c));
  } else if (command == "expect-window") {
    const std::string className = TakeArg(c, Text);
    ExpectWindow(className, TakeArg(c, Text));
  } else if (command == "expect-file" || command == "expect-no-file") {
    ExpectFile(TakeArg(c, Path), command == "expect-file");
  } else if (command == "copy") {
    const std::string from = TakeArg(c, Path);
    Copy(from, TakeArg(c, Path));
  } else if (command == "delete") {
    Delete(TakeArg(c, Path));
  } else if (command == "sleep") {
    Sleep(static_cast<DWORD>(TakeNumber(c)));
  } else if (command == "exit") {
    Exit(TakeNumber(c));
  } else {
    ScriptError("unknown step " + command);
  }
  NoMoreArgs(c);
}

std::vector<std::string> ReadScript(FILE* in) {
  std::vector<std::string> lines;
  std::string line;
  int ch;
  while ((ch = std::fgetc(in)) != EOF) {
    if (ch == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (ch != '\r') {
      line += static_cast<char>(ch);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  FILE* in = stdin;
  if (argc > 1 && std::strcmp(argv[1], "-") != 0) {
    in = std::fopen(argv[1], "rb");
    if (in == nullptr) {
      Say("mwdriver: cannot open the script %s\n", argv[1]);
      return 2;
    }
  }
  const std::vector<std::string> lines = ReadScript(in);
  if (in != stdin) std::fclose(in);

  for (const std::string& raw : lines) {
    ++LineNumber;
    std::string::size_type first = raw.find_first_not_of(" \t");
    if (first == std::string::npos || raw[first] == '#') continue;
    StepText = raw.substr(first);
    Say("step %d: %s\n", LineNumber, StepText.c_str());
    Play(StepText);
  }
  if (ProgramRunning()) {
    Say("FAILED: the script ended while the program is still running\n%s", Screen().c_str());
    StopProgram();
    return 1;
  }
  Say("mwdriver: all steps done\n");
  return 0;
}
