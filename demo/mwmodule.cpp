// One of the demo product's libraries. The same source builds the four of
// them; each names itself and offers the small service its name says.
#include <windows.h>

#ifndef MW_MODULE_NAME
#error "MW_MODULE_NAME names the library"
#endif

extern "C" {
__declspec(dllexport) const char* WINAPI MwModuleName() { return MW_MODULE_NAME; }
__declspec(dllexport) DWORD WINAPI MwModuleVersion() { return 0x00010000; }
// Blends two colours, w out of 255 of the second: the desktop's gradients
// and the task list's highlight share it.
__declspec(dllexport) COLORREF WINAPI MwBlend(COLORREF a, COLORREF b, int w) {
  if (w < 0) w = 0;
  if (w > 255) w = 255;
  const int r = (GetRValue(a) * (255 - w) + GetRValue(b) * w) / 255;
  const int g = (GetGValue(a) * (255 - w) + GetGValue(b) * w) / 255;
  const int bl = (GetBValue(a) * (255 - w) + GetBValue(b) * w) / 255;
  return RGB(r, g, bl);
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
