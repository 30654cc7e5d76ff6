#pragma once

#include <windows.h>
// windows.h first: exdisp.h builds on it.
#include <exdisp.h>

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {

// The desktop in the desktop shell's window list: its automation object
// and its window (null when the list does not name one). S_OK only when the
// object was had.
HRESULT FindDesktopWindow(HWND& window, ScopedCom<IDispatch>& automation);

}  // namespace quietreel::win32
