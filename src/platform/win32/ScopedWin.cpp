#include "platform/win32/ScopedWin.h"

#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {

// ole32 is loaded here, by its full path, rather than imported: whatever an
// import pulls in is loaded before wWinMain can narrow the DLL search.
ScopedOle::ScopedOle() : ole32_(LoadSystemLibrary(L"ole32.dll")) {
  using Initialize = HRESULT WINAPI(LPVOID);
  using Uninitialize = void WINAPI();
  auto* initialize = ole32_.Find<Initialize>("OleInitialize");
  auto* uninitialize = ole32_.Find<Uninitialize>("OleUninitialize");
  if (initialize && uninitialize && SUCCEEDED(initialize(nullptr))) uninitialize_ = uninitialize;
}

ScopedOle::~ScopedOle() {
  if (uninitialize_) uninitialize_();
}

}  // namespace quietreel::win32
