#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {

// What the token says of `kind`; empty when it does not say.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind);

// Whether the program runs with an elevated administrator's token.
bool ProcessIsElevated();

// The process of the desktop shell in this session; 0 when there is none.
DWORD DesktopShellProcess();

// A new impersonation token, which the caller owns, with the rights of the
// desktop user as `source` holds them; null when it cannot be made.
HANDLE UserRightsToken(HANDLE source);

// The desktop user's token: of the shell process `shell` (0: none) when
// its token can be had, else of this process; null when neither can.
HANDLE DesktopUserToken(DWORD shell);
// Made once, at start, by the program's composition root: of the desktop
// shell when the program runs elevated. COM must be initialised.
HANDLE DesktopUserToken();

// While it lives, the calling thread wears `token`; then the token it wore
// before (none, or an outer scope's), so scopes nest.
class ScopedThreadToken {
 public:
  explicit ScopedThreadToken(HANDLE token);
  ~ScopedThreadToken();
  ScopedThreadToken(const ScopedThreadToken&) = delete;
  ScopedThreadToken& operator=(const ScopedThreadToken&) = delete;

  bool Worn() const { return worn_; }

 private:
  ScopedHandle previous_;
  bool worn_ = false;
};

}  // namespace quietreel::win32
