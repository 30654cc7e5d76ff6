#include "app/QuietreelApp.h"

#include <windows.h>
// windows.h first: these build on it.
#include <commctrl.h>
#include <ole2.h>

#include "app/QuietreelDlg.h"

namespace quietreel {
namespace {

// OLE for the shell calls behind the links; released if it was taken.
class ScopedOle {
 public:
  ScopedOle() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
  ~ScopedOle() {
    if (initialised_) ::OleUninitialize();
  }
  ScopedOle(const ScopedOle&) = delete;
  ScopedOle& operator=(const ScopedOle&) = delete;

 private:
  bool initialised_;
};

}  // namespace

BOOL CQuietreelApp::InitInstance() {
  ScopedOle ole;
  // The usual window classes, plus the link control of the About and Help
  // windows, which the first set does not include.
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
  ::InitCommonControlsEx(&controls);

  Services services = platform_.MakeServices();
  CQuietreelDlg dialog(services);
  dialog.DoModal(nullptr);
  return FALSE;
}

}  // namespace quietreel

// The command line is not used.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quietreel::CQuietreelApp app;
  app.InitInstance();
  return 0;
}
