#include "platform/win32/OpenUrl.h"

#include <windows.h>
// windows.h first: shellapi.h builds on it.
#include <shellapi.h>

#include <cwchar>

#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {

// The program's addresses all fit the 128-character buffer; one that does
// not is refused rather than opened cut short, at another page.
void OpenUrl(const std::wstring& address) {
  wchar_t buffer[128] = {};
  if (address.size() >= sizeof(buffer) / sizeof(buffer[0])) return;
  std::wmemcpy(buffer, address.c_str(), address.size());
  using ShellExecuteFunction = HINSTANCE WINAPI(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  SystemLibrary shell32(L"shell32.dll");
  if (auto* execute = shell32.Find<ShellExecuteFunction>("ShellExecuteW"))
    execute(nullptr, L"open", buffer, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quietreel::win32
