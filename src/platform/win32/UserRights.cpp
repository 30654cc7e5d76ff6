#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

// A copy of the process token for the thread to impersonate, with the
// Administrators group kept only to deny (an object that denies the group
// still denies) and every privilege gone but traversing folders; null when
// any step fails. The user, and the groups the user is in without the
// elevation, are untouched, so the user's own files stay reachable.
HANDLE RestrictedImpersonationToken() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &raw)) return nullptr;
  ScopedHandle process(raw);
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(administrators);
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return nullptr;
  SID_AND_ATTRIBUTES disable{administrators, 0};
  raw = nullptr;
  if (!::CreateRestrictedToken(process.Get(), DISABLE_MAX_PRIVILEGE, 1, &disable, 0, nullptr, 0, nullptr, &raw))
    return nullptr;
  // A copy of a process token is a primary token; a thread wears only an
  // impersonation token.
  ScopedHandle restricted(raw);
  raw = nullptr;
  if (!::DuplicateToken(restricted.Get(), SecurityImpersonation, &raw)) return nullptr;
  return raw;
}

}  // namespace

// The thread keeps its own reference to the token, so the handle can go.
// The threads that use this never impersonate otherwise, so reverting
// leaves them with the process token again.
ScopedUserRights::ScopedUserRights() {
  ScopedHandle token(RestrictedImpersonationToken());
  restricted_ = token.Valid() && ::SetThreadToken(nullptr, token.Get());
}

ScopedUserRights::~ScopedUserRights() {
  if (restricted_) ::RevertToSelf();
}

}  // namespace quietreel::win32
