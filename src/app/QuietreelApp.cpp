#include "app/QuietreelApp.h"

#include <windows.h>
// windows.h first: commctrl.h builds on it.
#include <commctrl.h>

#include "ShippedList.h"
#include "app/QuietreelDlg.h"
#include "platform/win32/ScopedOle.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel {

BOOL CQuietreelApp::InitInstance() {
  // OLE for the shell calls behind the links.
  win32::ScopedOle ole;
  // The usual window classes, plus the link control of the About and Help
  // windows, which the first set does not include.
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
  ::InitCommonControlsEx(&controls);

  // Made once COM is up and its security set: the person at the desktop is
  // found through the desktop shell.
  win32::Win32Platform platform;
  Services services = platform.MakeServices(kShippedListSha256);
  CQuietreelDlg dialog(services);
  dialog.DoModal(nullptr);
  return FALSE;
}

}  // namespace quietreel

// The command line is not used. The DLL search is narrowed before anything
// can load a DLL by name.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quietreel::win32::SearchSystemFolderForDlls();
  quietreel::CQuietreelApp app;
  app.InitInstance();
  return 0;
}
