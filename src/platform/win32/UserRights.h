#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {

// What the token says of `kind`; empty when it does not say.
std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind);

// A new impersonation token with the desktop user's own rights, which the
// caller owns; null when it cannot be made.
HANDLE UserRightsToken();

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

// While it lives, the calling thread acts with the user's own rights only.
class ScopedUserRights {
 public:
  ScopedUserRights() : token_(UserRightsToken()), wearing_(token_.Get()) {}

  // False when the thread could not take the user's token and runs with
  // the program's full rights.
  bool Restricted() const { return wearing_.Worn(); }

 private:
  ScopedHandle token_;
  ScopedThreadToken wearing_;
};

}  // namespace quietreel::win32
