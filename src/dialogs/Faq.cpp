#include "dialogs/Faq.h"

#include "platform/win32/ui/DialogOwner.h"
#include "repair/RepairOperations.h"
#include "res/resource.h"

namespace quietreel {
namespace {

// While a repair runs, the dialog still takes its messages (the cleanup
// lets it, to stay responsive), so every command is ignored and every
// button, the close box included, is off until the repair ends.
class ScopedBusyDialog {
 public:
  ScopedBusyDialog(HWND dialog, bool& busy) : dialog_(dialog), busy_(busy), focus_(::GetFocus()) {
    busy_ = true;
    Enable(false);
  }
  ~ScopedBusyDialog() {
    Enable(true);
    if (focus_) ::SetFocus(focus_);
    busy_ = false;
  }
  ScopedBusyDialog(const ScopedBusyDialog&) = delete;
  ScopedBusyDialog& operator=(const ScopedBusyDialog&) = delete;

 private:
  void Enable(bool on) {
    for (int id : {IDOK, IDCANCEL, IDC_REPAIR_BLACK_SCREEN, IDC_CLEAN_TEMP_FILES})
      ::EnableWindow(::GetDlgItem(dialog_, id), on ? TRUE : FALSE);
    ::EnableMenuItem(::GetSystemMenu(dialog_, FALSE), SC_CLOSE, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }

  HWND dialog_;
  bool& busy_;
  HWND focus_;
};

}  // namespace

CFaq::CFaq(const Services& services) : win32::Dialog(IDD_FAQ), services_(services) {}

void CFaq::OnCommand(int id, int code) {
  if (busy_ || code != BN_CLICKED) return;
  if (id == IDC_REPAIR_BLACK_SCREEN || id == IDC_CLEAN_TEMP_FILES) {
    RunRepair(id);
  } else {
    win32::Dialog::OnCommand(id, code);
  }
}

void CFaq::RunRepair(int id) {
  ScopedBusyDialog busy(Hwnd(), busy_);
  win32::DialogOwner owner(Hwnd(), IDC_FAQ_STATUS);
  if (id == IDC_REPAIR_BLACK_SCREEN) {
    RepairSharedObject(services_, owner);
  } else {
    CleanTemporaryFiles(services_, owner);
  }
}

}  // namespace quietreel
