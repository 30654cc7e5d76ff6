#pragma once

#include <windows.h>

namespace quietreel::win32 {

// A new impersonation token with the desktop user's own rights, which the
// caller owns; null when it cannot be made.
HANDLE UserRightsToken();

}  // namespace quietreel::win32
