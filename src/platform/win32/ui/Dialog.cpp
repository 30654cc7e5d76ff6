#include "platform/win32/ui/Dialog.h"

#include <vector>

namespace quietreel::win32 {
namespace {

// Places a dialog over the middle of its owner, or of the screen's work
// area when it has none, and keeps it on that work area.
void CenterOverOwner(HWND dialog) {
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  RECT area{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  area = monitor.rcWork;
  RECT around = area;
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
  RECT own{};
  ::GetWindowRect(dialog, &own);
  LONG width = own.right - own.left;
  LONG height = own.bottom - own.top;
  LONG x = (around.left + around.right - width) / 2;
  LONG y = (around.top + around.bottom - height) / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// Normally the window is gone by now; if not, it must no longer reach this
// object through its user data.
Dialog::~Dialog() { Detach(); }

INT_PTR Dialog::DoModal(HWND owner) {
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &Dialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::OnCommand(int id, int code) {
  if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) EndDialog(id);
}

bool Dialog::OnNotify(const NMHDR&, LRESULT&) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

void Dialog::SetItemText(int id, const std::wstring& text) { ::SetDlgItemTextW(hwnd_, id, text.c_str()); }

std::wstring Dialog::ItemText(int id) const {
  HWND item = ::GetDlgItem(hwnd_, id);
  int length = item ? ::GetWindowTextLengthW(item) : 0;
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  int copied = ::GetWindowTextW(item, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Dialog::SetTitle(const std::wstring& text) { ::SetWindowTextW(hwnd_, text.c_str()); }

void Dialog::Detach() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
  hwnd_ = nullptr;
}

// The window finds its object through DWLP_USER, set when the template's
// controls exist. Nothing thrown below may reach the system's code.
INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->Detach();
    return result;
  } catch (...) {
    if (message == WM_NCDESTROY) self->Detach();
    return FALSE;
  }
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOverOwner(hwnd_);
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
  }
}

}  // namespace quietreel::win32
