#include "app/QuietreelDlg.h"

#include <string>

#include "base/Brand.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/Faq.h"
#include "dialogs/VRHelp.h"
#include "hosts/HostsBlocker.h"
#include "hosts/HostsStatus.h"
#include "platform/win32/ui/DialogOwner.h"
#include "platform/win32/ui/OpenUrl.h"
#include "res/resource.h"

namespace quietreel {
namespace {

// A paint context that is always handed back.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd_, &paint_); }
  ~ScopedPaint() { ::EndPaint(hwnd_, &paint_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

std::wstring LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length the call points at the resource's own characters.
  int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

void ShowAbout(HWND owner) { CAboutDlg().DoModal(owner); }
void ShowHelp(HWND owner) { CVRHelp().DoModal(owner); }

}  // namespace

CQuietreelDlg::CQuietreelDlg(const Services& services)
    : win32::Dialog(IDD_QUIETREEL_DIALOG),
      services_(services),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL CQuietreelDlg::OnInitDialog() {
  AddAboutToSystemMenu();
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  SetTitle(kTitleText);
  ShowHostsState();
  return TRUE;
}

// Read afresh after each hosts operation: what was on disk is all there is.
void CQuietreelDlg::ShowHostsState() { SetItemText(IDC_HOSTS_STATE, HostsStatusText(services_)); }

void CQuietreelDlg::AddAboutToSystemMenu() {
  HMENU menu = ::GetSystemMenu(Hwnd(), FALSE);
  std::wstring about = LoadResourceString(IDS_ABOUTBOX);
  if (!menu || about.empty()) return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
}

// While a window of the program's own is modal over this one (the
// troubleshooting dialog, whose cleanup lets messages through while it
// purges; a message box an operation waits on) this one is disabled, and
// the operation below that window has not finished. No click reaches a
// disabled window, but a command another program posts does, and would
// run nested in that operation (a Reset in the middle of the purge): it
// is refused as the click would be. Every loop that could dispatch it
// runs under such a window (the cleanup's inside the troubleshooting
// dialog), so this one check covers them all.
bool CQuietreelDlg::Busy() const { return !::IsWindowEnabled(Hwnd()); }

// Enter reaches here as IDOK, so it blocks like the button does; only
// Cancel (Esc, the close box) ends the window.
void CQuietreelDlg::OnCommand(int id, int code) {
  if (code != BN_CLICKED || Busy()) return;
  win32::DialogOwner owner(Hwnd());
  switch (id) {
    case IDOK:
      Block(services_, owner);
      ShowHostsState();
      break;
    case IDC_RESTORE:
      Restore(services_, owner);
      ShowHostsState();
      break;
    case IDC_RESET:
      Reset(services_, owner);
      ShowHostsState();
      break;
    case IDC_OPEN_FAQ:
      CFaq(services_).DoModal(Hwnd());
      break;
    case ID_MENU_ABOUT:
      ShowAbout(Hwnd());
      break;
    case ID_MENU_HELP:
      ShowHelp(Hwnd());
      break;
    case ID_MENU_CHECK_UPDATE:
      win32::OpenUrl(Hwnd(), kDownloadPageUrl);
      break;
    case IDCANCEL:
      EndDialog(IDCANCEL);
      break;
    default:
      break;
  }
}

bool CQuietreelDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_SYSCOMMAND:
      result = TRUE;
      return OnSysCommand(wParam);
    case WM_PAINT:
      result = TRUE;
      return OnPaint();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(m_hIcon);
      return true;
    default:
      return false;
  }
}

// The About entry's id is a multiple of 16, as the system's own commands
// are; the low four bits are the system's to use. Anything else gets the
// default handling, so minimise, move and close keep working.
bool CQuietreelDlg::OnSysCommand(WPARAM id) {
  if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;
  if (!Busy()) ShowAbout(Hwnd());
  return true;
}

// Systems that draw minimised windows get the icon centred in the client
// area; otherwise the dialog paints itself.
bool CQuietreelDlg::OnPaint() {
  if (!::IsIconic(Hwnd())) return false;
  ScopedPaint paint(Hwnd());
  ::SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Dc()), 0);
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(paint.Dc(), x, y, m_hIcon);
  return true;
}

}  // namespace quietreel
