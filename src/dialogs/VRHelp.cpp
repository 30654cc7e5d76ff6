#include "dialogs/VRHelp.h"

#include "base/Brand.h"
#include "res/resource.h"

namespace quietreel {

CVRHelp::CVRHelp() : win32::Dialog(IDD_HELP) {}

BOOL CVRHelp::OnInitDialog() {
  SetTitle(std::wstring(L"帮助 ") + kTitleText);
  return TRUE;
}

}  // namespace quietreel
