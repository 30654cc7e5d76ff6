#pragma once

#include <windows.h>

#include <vector>

namespace quietreel::win32 {

// What the token says of `kind`; empty when it does not say.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind);

// A new impersonation token with the desktop user's own rights, which the
// caller owns; null when it cannot be made.
HANDLE UserRightsToken();

}  // namespace quietreel::win32
