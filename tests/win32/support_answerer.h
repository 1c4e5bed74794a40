#pragma once
// Answers the message boxes that the code under test shows on the test's own
// thread: a second thread finds each visible message box of this process
// whose caption is ProductName or "Exit " + ProductName (the chain's own
// dialogs have other captions), records its caption, text and owner, and
// presses a button.
#include <windows.h>

#include <string>
#include <vector>

namespace setup_test {

struct SeenBox {
  std::string Caption;
  std::string Text;
  HWND Owner;
  int Answer;
};

class BoxAnswerer {
public:
  // Presses No where there is one, else OK.
  BoxAnswerer();
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  // The boxes answered so far, in the order they came.
  std::vector<SeenBox> Seen();

private:
  static DWORD WINAPI Watch(LPVOID self);
  void Poll();

  HANDLE Thread;
  HANDLE Stop;
  CRITICAL_SECTION Lock;
  std::vector<SeenBox> Boxes;
  std::vector<HWND> Answered;
};

// "caption: text" of each box, one per line, for failure messages.
std::string Describe(const std::vector<SeenBox>& boxes);

}  // namespace setup_test
