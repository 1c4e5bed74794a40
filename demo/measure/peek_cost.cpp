// What one round of the setup's message pump costs on this system: a
// PeekMessageA(PM_REMOVE) on a thread that owns a window, with nothing
// waiting, as the unpack stage calls it after every compressed byte.
//   peek_cost [COUNT]     prints the microseconds per call
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 20000;
  HWND window = CreateWindowExA(0, "STATIC", "peek cost", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  long dispatched = 0;
  for (long i = 0; i < count; ++i) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      ++dispatched;
    }
  }
  QueryPerformanceCounter(&end);
  const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("%ld empty pumps in %.3f s: %.2f us per pump (%ld messages dispatched)\n", count, seconds,
              seconds * 1e6 / static_cast<double>(count), dispatched);
  DestroyWindow(window);
  return 0;
}
