#include "platform/win32/ui/OpenUrl.h"

#include <windows.h>
// windows.h first: these build on it.
#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/win32/DesktopShell.h"
#include "platform/win32/ui/DialogOwner.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UserRights.h"

namespace quietreel::win32 {
namespace {

constexpr wchar_t kCopyTheAddress[] =
    L"无法以当前用户的身份打开浏览器，为安全起见未打开网页。请在浏览器中打开以下网址"
    L"（按 Ctrl+C 可复制本框中的文字）：\n\n";

// The service of the shell's top-level browser (shlguid.h; defined there for
// linking against uuid.lib, which the program does not).
constexpr GUID kTopLevelBrowser = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};

// A string for COM calls, from the system's oleaut32.dll.
class ScopedBstr {
 public:
  ScopedBstr(const SystemLibrary& oleaut32, const wchar_t* text)
      : free_(oleaut32.Find<void WINAPI(BSTR)>("SysFreeString")) {
    auto* allocate = oleaut32.Find<BSTR WINAPI(const OLECHAR*)>("SysAllocString");
    if (allocate && free_) string_ = allocate(text);
  }
  ~ScopedBstr() {
    if (string_) free_(string_);
  }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR Get() const { return string_; }

 private:
  void(WINAPI* free_)(BSTR);
  BSTR string_ = nullptr;
};

VARIANT Number(LONG value) {
  VARIANT variant{};
  variant.vt = VT_I4;
  variant.lVal = value;
  return variant;
}

VARIANT Text(BSTR value) {
  VARIANT variant{};
  variant.vt = VT_BSTR;
  variant.bstrVal = value;
  return variant;
}

// The desktop shell (explorer, running as the user who logged on) starts
// the browser, so it gets the desktop user's token and is its child, not
// the elevated program's: the desktop in the shell's window list, its
// view's background object, that object's Shell.Application, and its
// ShellExecute. Every step must answer S_OK. oleaut32 is loaded by full
// path.
bool OpenThroughTheDesktopShell(const wchar_t* address) {
  SystemLibrary oleaut32(L"oleaut32.dll");
  ScopedBstr file(oleaut32, address);
  ScopedBstr open(oleaut32, L"open");
  if (!file.Get() || !open.Get()) return false;

  HWND window = nullptr;
  ScopedCom<IDispatch> desktopWindow;
  if (FindDesktopWindow(window, desktopWindow) != S_OK) return false;
  ScopedCom<IServiceProvider> services;
  ScopedCom<IShellBrowser> browser;
  ScopedCom<IShellView> view;
  ScopedCom<IDispatch> background;
  ScopedCom<IShellFolderViewDual> folderView;
  ScopedCom<IDispatch> application;
  ScopedCom<IShellDispatch2> shell;
  if (desktopWindow->QueryInterface(__uuidof(IServiceProvider), services.OutVoid()) != S_OK ||
      services->QueryService(kTopLevelBrowser, __uuidof(IShellBrowser), browser.OutVoid()) != S_OK ||
      browser->QueryActiveShellView(view.Out()) != S_OK || !view.Get() ||
      view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.OutVoid()) != S_OK ||
      background->QueryInterface(__uuidof(IShellFolderViewDual), folderView.OutVoid()) != S_OK ||
      folderView->get_Application(application.Out()) != S_OK || !application.Get() ||
      application->QueryInterface(__uuidof(IShellDispatch2), shell.OutVoid()) != S_OK)
    return false;
  VARIANT none{};
  return shell->ShellExecute(file.Get(), none, none, Text(open.Get()), Number(SW_SHOWNORMAL)) == S_OK;
}

bool OpenHere(const wchar_t* address) {
  using ShellExecuteFunction = HINSTANCE WINAPI(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  SystemLibrary shell32(L"shell32.dll");
  auto* execute = shell32.Find<ShellExecuteFunction>("ShellExecuteW");
  // Above 32 is success, as for WinExec.
  return execute && reinterpret_cast<INT_PTR>(execute(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace

// An elevated program's children run with the administrator's token, and
// the browser it would start is chosen by the user's own HKCU class
// handlers, which an elevated process still reads: only the desktop shell
// may start it then. The program's addresses all fit the 128-character
// buffer; one that does not is refused rather than opened cut short, at
// another page. The box is a message box, whose text Ctrl+C copies.
void OpenUrl(HWND owner, const std::wstring& address) {
  wchar_t buffer[128] = {};
  if (address.size() >= sizeof(buffer) / sizeof(buffer[0])) return;
  std::wmemcpy(buffer, address.c_str(), address.size());
  const bool opened = ProcessIsElevated() ? OpenThroughTheDesktopShell(buffer) : OpenHere(buffer);
  if (!opened)
    ::MessageBoxW(owner, (kCopyTheAddress + address).c_str(), ProgramName().c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace quietreel::win32
