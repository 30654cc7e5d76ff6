#include "platform/win32/ui/DialogOwner.h"

#include "platform/win32/Win32Platform.h"

namespace quietreel::win32 {

std::wstring ProgramName() {
  std::wstring name = ModuleFileName();
  name.erase(0, name.find_last_of(L"\\/") + 1);
  std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}

void DialogOwner::ShowNotice(const std::wstring& text) {
  ::MessageBoxW(dialog_, text.c_str(), ProgramName().c_str(), MB_OK);
}

void DialogOwner::ShowWarning(const std::wstring& text) {
  HWND main = ::GetAncestor(dialog_, GA_ROOTOWNER);
  ::MessageBoxW(main ? main : dialog_, text.c_str(), ProgramName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool DialogOwner::AskOkCancel(const std::wstring& text, const std::wstring& caption) {
  return ::MessageBoxW(dialog_, text.c_str(), caption.c_str(), MB_OKCANCEL) == IDOK;
}

// The caller goes on to keep the thread busy, so the control is painted
// here, and the messages waiting meanwhile are taken: Windows marks a
// window that takes none for five seconds as not responding. What they
// could start is off until the caller is done (CFaq turns its buttons off
// and ignores commands; the main window, disabled under it, ignores its
// own). A quit request is left for the modal loop.
void DialogOwner::ShowStatus(const std::wstring& text) {
  HWND item = statusLine_ ? ::GetDlgItem(dialog_, statusLine_) : nullptr;
  if (!item) return;
  ::SetWindowTextW(item, text.c_str());
  ::RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (::IsDialogMessageW(dialog_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace quietreel::win32
