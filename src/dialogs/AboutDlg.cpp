#include "dialogs/AboutDlg.h"

#include <commctrl.h>

#include "base/Brand.h"
#include "platform/win32/ui/OpenUrl.h"
#include "res/resource.h"

namespace quietreel {
namespace {

const wchar_t* LinkAddress(UINT_PTR controlId) {
  switch (controlId) {
    case IDC_LINK_WEBSITE:
      return kMakerWebsiteUrl;
    case IDC_LINK_SHOP:
      return kMakerShopUrl;
    case IDC_LINK_MICROBLOG:
      return kMakerMicroblogUrl;
    default:
      return nullptr;
  }
}

}  // namespace

CAboutDlg::CAboutDlg() : win32::Dialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
  SetItemText(IDC_ABOUT_TITLE, kTitleText);
  SetTitle(std::wstring(L"关于 ") + kTitleText);
  return TRUE;
}

// A link opens on a click and, for keyboard users, on Enter.
bool CAboutDlg::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code != NM_CLICK && header.code != NM_RETURN) return false;
  const wchar_t* address = LinkAddress(header.idFrom);
  if (!address) return false;
  result = 0;
  win32::OpenUrl(Hwnd(), address);
  return true;
}

}  // namespace quietreel
