#include <windows.h>

#include "support_answerer.h"

#include <algorithm>

#include "setup/setup_config.h"

namespace setup_test {
namespace {

// The windows belong to the test's thread, which may be busy or waiting for
// this thread to stop: read the text that the window manager keeps instead
// of sending WM_GETTEXT (captions and static texts are kept there).
std::string TextOf(HWND window) {
  WCHAR wide[1024] = {0};
  const int n = InternalGetWindowText(window, wide, 1024);
  char text[2048] = {0};
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof(text) - 1, nullptr, nullptr);
  return text;
}

// A message box: a visible dialog-class window of this process with the
// message box's text control (id 0xFFFF) and at least one of its buttons.
bool IsMessageBox(HWND window) {
  char name[16] = {0};
  GetClassNameA(window, name, sizeof(name));
  if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return false;
  const std::string caption = TextOf(window);
  if (caption != SetupConfig.ProductName && caption != "Exit " + SetupConfig.ProductName) return false;
  if (GetDlgItem(window, 0xFFFF) == nullptr) return false;
  return GetDlgItem(window, IDOK) != nullptr || GetDlgItem(window, IDNO) != nullptr;
}

struct Found {
  std::vector<HWND> Windows;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId() && IsMessageBox(window)) reinterpret_cast<Found*>(data)->Windows.push_back(window);
  return TRUE;
}

}  // namespace

BoxAnswerer::BoxAnswerer() {
  InitializeCriticalSection(&Lock);
  Stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Thread = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer() {
  SetEvent(Stop);
  WaitForSingleObject(Thread, INFINITE);
  CloseHandle(Thread);
  CloseHandle(Stop);
  DeleteCriticalSection(&Lock);
}

std::vector<SeenBox> BoxAnswerer::Seen() {
  EnterCriticalSection(&Lock);
  std::vector<SeenBox> copy = Boxes;
  LeaveCriticalSection(&Lock);
  return copy;
}

DWORD WINAPI BoxAnswerer::Watch(LPVOID self) {
  BoxAnswerer* answerer = static_cast<BoxAnswerer*>(self);
  while (WaitForSingleObject(answerer->Stop, 20) == WAIT_TIMEOUT) answerer->Poll();
  return 0;
}

void BoxAnswerer::Poll() {
  // A closed box's handle may come back for a new window.
  Answered.erase(std::remove_if(Answered.begin(), Answered.end(), [](HWND w) { return !IsWindow(w); }),
                 Answered.end());
  Found found;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
  for (HWND box : found.Windows) {
    if (std::find(Answered.begin(), Answered.end(), box) != Answered.end()) continue;
    SeenBox seen;
    seen.Caption = TextOf(box);
    seen.Text = TextOf(GetDlgItem(box, 0xFFFF));
    seen.Owner = GetWindow(box, GW_OWNER);
    seen.Answer = GetDlgItem(box, IDNO) != nullptr ? IDNO : IDOK;
    EnterCriticalSection(&Lock);
    Boxes.push_back(seen);
    LeaveCriticalSection(&Lock);
    Answered.push_back(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(seen.Answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, seen.Answer)));
  }
}

std::string Describe(const std::vector<SeenBox>& boxes) {
  std::string out;
  for (const SeenBox& box : boxes) out += "  " + box.Caption + ": " + box.Text + "\n";
  return out.empty() ? "  (no message box)\n" : out;
}

}  // namespace setup_test
