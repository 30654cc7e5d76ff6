#include "dialogs/Faq.h"

#include "platform/win32/DialogOwner.h"
#include "platform/win32/ScopedWin.h"
#include "repair/RepairOperations.h"
#include "res/resource.h"

namespace quietreel {
namespace {

constexpr wchar_t kNoUserRights[] = L"无法以当前用户的权限运行，为安全起见未删除任何文件！";

}  // namespace

CFaq::CFaq(const Services& services) : win32::Dialog(IDD_FAQ), services_(services) {}

// The repairs delete inside the user's folders, which the user can change
// while they run. They run with the user's own rights, so that whatever
// the folders lead to, nothing goes that the user could not delete. When
// the thread cannot take those rights (which the systems the program runs
// on do not refuse short of running out of memory) nothing runs: going on
// with an administrator's rights would drop that guard silently, on the
// very machine where something is already amiss.
void CFaq::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id != IDC_REPAIR_BLACK_SCREEN && id != IDC_CLEAN_TEMP_FILES) {
    win32::Dialog::OnCommand(id, code);
    return;
  }
  win32::DialogOwner owner(Hwnd(), IDC_FAQ_STATUS);
  win32::ScopedUserRights userRights;
  if (!userRights.Restricted()) {
    owner.ShowWarning(kNoUserRights);
  } else if (id == IDC_REPAIR_BLACK_SCREEN) {
    RepairSharedObject(services_, owner);
  } else {
    CleanTemporaryFiles(services_, owner);
  }
}

}  // namespace quietreel
