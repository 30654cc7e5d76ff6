// The smallest program that shows a dialog as its main window, built with the
// same toolchain and options as Quietreel.exe, so that start-up times can be
// compared. It initialises the common controls as Quietreel does.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    ::EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  ::InitCommonControlsEx(&controls);
  ::DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, DialogProc, 0);
  return 0;
}
