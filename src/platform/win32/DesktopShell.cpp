#include "platform/win32/DesktopShell.h"

#include <shlobj.h>

#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {

// Asked of the shell's own list, which the desktop shell (explorer, running
// as the user who logged on) serves: Wine has no GetShellWindow, but has
// this. The list says "not found" with S_FALSE and a null object, so only
// S_OK counts. COM is initialised on the calling thread by ScopedOle; ole32
// is loaded by full path.
HRESULT FindDesktopWindow(HWND& window, ScopedCom<IDispatch>& automation) {
  window = nullptr;
  SystemLibrary ole32(L"ole32.dll");
  using CreateInstance = HRESULT WINAPI(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  auto* create = ole32.Find<CreateInstance>("CoCreateInstance");
  if (!create) return E_FAIL;
  ScopedCom<IShellWindows> windows;
  const HRESULT created =
      create(__uuidof(ShellWindows), nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows), windows.OutVoid());
  if (created != S_OK) return FAILED(created) ? created : E_FAIL;
  VARIANT desktop{};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT noRoot{};
  LONG found = 0;
  const HRESULT result =
      windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &found, SWFO_NEEDDISPATCH, automation.Out());
  if (result != S_OK || !automation.Get()) return FAILED(result) ? result : E_FAIL;
  window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(found));
  return S_OK;
}

}  // namespace quietreel::win32
