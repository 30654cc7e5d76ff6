#include "dialogs/Faq.h"

#include "platform/win32/DialogOwner.h"
#include "repair/RepairOperations.h"
#include "res/resource.h"

namespace quietreel {

CFaq::CFaq(const Services& services) : win32::Dialog(IDD_FAQ), services_(services) {}

void CFaq::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  win32::DialogOwner owner(Hwnd(), IDC_FAQ_STATUS);
  switch (id) {
    case IDC_REPAIR_BLACK_SCREEN:
      RepairSharedObject(services_, owner);
      break;
    case IDC_CLEAN_TEMP_FILES:
      CleanTemporaryFiles(services_, owner);
      break;
    default:
      win32::Dialog::OnCommand(id, code);
      break;
  }
}

}  // namespace quietreel
