#include "platform/win32/UserRights.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "platform/win32/DesktopShell.h"
#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

// The groups UAC's filtered token keeps only to deny, by their well-known
// numbers: S-1-5-114 (a local account in Administrators), the built-in
// Administrators, Power Users, Account, Server, Print, Backup, Network
// Configuration and Cryptographic Operators, Pre-Windows 2000 Compatible
// Access and RAS Servers, and a domain's (S-1-5-21-...) Domain Admins,
// Domain Controllers, Cert Publishers, Schema and Enterprise Admins, Group
// Policy Creator Owners and read-only domain controllers. The linked token,
// where there is one, says the same of the very token the user logged on
// with; this list is for where there is none (XP, UAC off).
bool IsAdministratorEquivalent(PSID sid) {
  static const DWORD kBuiltin[] = {544, 547, 548, 549, 550, 551, 553, 554, 556, 569};
  static const DWORD kDomain[] = {498, 512, 516, 517, 518, 519, 520, 521};
  const SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  if (!::IsValidSid(sid) || std::memcmp(&static_cast<const SID*>(sid)->IdentifierAuthority, &nt, sizeof(nt)) != 0)
    return false;
  const BYTE count = *::GetSidSubAuthorityCount(sid);
  if (count == 0) return false;
  const DWORD first = *::GetSidSubAuthority(sid, 0);
  const DWORD last = *::GetSidSubAuthority(sid, count - 1u);
  auto among = [last](const DWORD* begin, const DWORD* end) { return std::find(begin, end, last) != end; };
  if (count == 1) return first == 114;
  if (count == 2 && first == SECURITY_BUILTIN_DOMAIN_RID) return among(std::begin(kBuiltin), std::end(kBuiltin));
  if (count == 5 && first == SECURITY_NT_NON_UNIQUE) return among(std::begin(kDomain), std::end(kDomain));
  return false;
}

// The groups the linked (filtered) token of an elevated one keeps only to
// deny; empty where there is no linked token.
std::vector<BYTE> LinkedGroups(HANDLE source) {
  std::vector<BYTE> linked = TokenInformation(source, TokenLinkedToken);
  if (linked.size() < sizeof(TOKEN_LINKED_TOKEN)) return {};
  ScopedHandle token(reinterpret_cast<TOKEN_LINKED_TOKEN*>(linked.data())->LinkedToken);
  return TokenInformation(token.Get(), TokenGroups);
}

bool DenyOnlyIn(const std::vector<BYTE>& groups, PSID sid) {
  if (groups.empty()) return false;
  const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
  for (DWORD i = 0; i < list->GroupCount; ++i)
    if ((list->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY) && ::EqualSid(list->Groups[i].Sid, sid)) return true;
  return false;
}

// Medium, where `source` is above it. Windows before Vista has no
// integrity levels and refuses to name one: nothing to lower there.
bool LowerToMediumIntegrity(HANDLE source, HANDLE token) {
  DWORD size = 0;
  if (!::GetTokenInformation(source, TokenIntegrityLevel, nullptr, 0, &size) &&
      ::GetLastError() == ERROR_INVALID_PARAMETER)
    return true;
  std::vector<BYTE> label = TokenInformation(source, TokenIntegrityLevel);
  if (label.empty()) return false;
  PSID level = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  if (*::GetSidSubAuthority(level, *::GetSidSubAuthorityCount(level) - 1u) <= SECURITY_MANDATORY_MEDIUM_RID)
    return true;
  BYTE medium[SECURITY_MAX_SID_SIZE];
  DWORD mediumSize = sizeof(medium);
  if (!::CreateWellKnownSid(WinMediumLabelSid, nullptr, medium, &mediumSize)) return false;
  TOKEN_MANDATORY_LABEL lowered{{medium, SE_GROUP_INTEGRITY}};
  return ::SetTokenInformation(token, TokenIntegrityLevel, &lowered, sizeof(lowered) + ::GetLengthSid(medium)) != FALSE;
}

// The owner of what the token creates: the user. An elevated token's
// default owner is Administrators, which only denies here, and Windows
// refuses to create an object with an owner the token may only deny. Wine 8
// cannot change a token's owner (ERROR_INVALID_FUNCTION) and gives every
// token the group Domain Users as its owner, which stays enabled: a token
// whose owner cannot be made the user is kept only while its owner is a
// group the user is really in.
bool OwnedByTheUser(HANDLE source, HANDLE token, const std::vector<SID_AND_ATTRIBUTES>& denyOnly) {
  std::vector<BYTE> user = TokenInformation(source, TokenUser);
  std::vector<BYTE> owner = TokenInformation(token, TokenOwner);
  if (user.empty() || owner.empty()) return false;
  PSID userSid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  PSID ownerSid = reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner;
  if (::EqualSid(ownerSid, userSid)) return true;
  TOKEN_OWNER byTheUser{userSid};
  if (::SetTokenInformation(token, TokenOwner, &byTheUser, sizeof(byTheUser))) return true;
  return std::none_of(denyOnly.begin(), denyOnly.end(),
                      [ownerSid](const SID_AND_ATTRIBUTES& group) { return ::EqualSid(group.Sid, ownerSid) != FALSE; });
}

}  // namespace

std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  ::GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
  return buffer;
}

// A copy of `source` as the desktop user's own: every group that UAC's
// filtered token keeps only to deny (an object that denies such a group
// still denies) made deny-only, every privilege gone but traversing
// folders, Medium integrity, and the user as the owner of what it creates.
// The user, and the groups the user is in without the elevation, are
// untouched, so the user's own files stay reachable. The desktop shell's
// token is already all that, unless the shell itself runs elevated.
// Wine 8 has no file ACLs, so none of this keeps anything out there. It
// makes the groups deny-only, but ignores DISABLE_MAX_PRIVILEGE, accepts
// the integrity level and keeps High, and its linked token is the process
// token again, with nothing deny-only (tests/win/UserRightsWinTest.cpp).
HANDLE UserRightsToken(HANDLE source) {
  std::vector<BYTE> groups = TokenInformation(source, TokenGroups);
  if (groups.empty()) return nullptr;
  const std::vector<BYTE> linked = LinkedGroups(source);
  std::vector<SID_AND_ATTRIBUTES> disable;
  const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
  for (DWORD i = 0; i < list->GroupCount; ++i) {
    PSID sid = list->Groups[i].Sid;
    if (IsAdministratorEquivalent(sid) || DenyOnlyIn(linked, sid)) disable.push_back({sid, 0});
  }
  HANDLE raw = nullptr;
  if (!::CreateRestrictedToken(source, DISABLE_MAX_PRIVILEGE, static_cast<DWORD>(disable.size()), disable.data(), 0,
                               nullptr, 0, nullptr, &raw))
    return nullptr;
  // A copy of a process token is a primary token; a thread wears only an
  // impersonation token.
  ScopedHandle restricted(raw);
  raw = nullptr;
  if (!::DuplicateTokenEx(restricted.Get(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_ADJUST_DEFAULT, nullptr,
                          SecurityImpersonation, TokenImpersonation, &raw))
    return nullptr;
  ScopedHandle token(raw);
  if (!LowerToMediumIntegrity(source, token.Get()) || !OwnedByTheUser(source, token.Get(), disable)) return nullptr;
  return token.Release();
}

// Asks the token, never the version: Help tells Windows 7 users to run the
// program in XP SP3 compatibility mode, where GetVersionEx says 5.1 on an
// elevated Windows 7. XP knows no elevation and refuses the question with
// ERROR_INVALID_PARAMETER (STATUS_INVALID_INFO_CLASS): not elevated. Any
// other failure counts as elevated, so that no browser is ever started with
// rights the user does not have. Wine 8 says every process is elevated.
bool ProcessIsElevated() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return true;
  ScopedHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &size))
    return elevation.TokenIsElevated != 0;
  return ::GetLastError() != ERROR_INVALID_PARAMETER;
}

// The window Windows records as the shell's, else the desktop in the
// shell's window list (Wine records none), when it belongs to a process in
// this session: a shell of another session is another person's.
DWORD DesktopShellProcess() {
  HWND shell = ::GetShellWindow();
  ScopedCom<IDispatch> desktop;
  if (!shell && FindDesktopWindow(shell, desktop) != S_OK) return 0;
  DWORD process = 0, session = 0, ours = 0;
  if (!shell || !::GetWindowThreadProcessId(shell, &process) || process == 0 ||
      !::ProcessIdToSessionId(process, &session) || !::ProcessIdToSessionId(::GetCurrentProcessId(), &ours) ||
      session != ours)
    return 0;
  return process;
}

// Under over-the-shoulder elevation (a standard user typed an
// administrator's password) the process token is the administrator's, a
// different account from the person at the desktop; the shell's is that
// person's. Where the shell's token cannot be opened, the process's own is
// restricted instead, as where there is no shell.
HANDLE DesktopUserToken(DWORD shell) {
  ScopedHandle process(shell ? ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, shell) : nullptr);
  HANDLE raw = nullptr;
  if (!process.Valid() || !::OpenProcessToken(process.Get(), TOKEN_DUPLICATE | TOKEN_QUERY, &raw)) {
    raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &raw)) return nullptr;
  }
  ScopedHandle source(raw);
  return UserRightsToken(source.Get());
}

// Without elevation the program runs as the person at the desktop (XP, UAC
// off), so its own token, restricted, is theirs.
HANDLE DesktopUserToken() { return DesktopUserToken(ProcessIsElevated() ? DesktopShellProcess() : 0); }

// The thread keeps its own reference to the token it wears.
namespace {

HANDLE ThreadToken() {
  HANDLE token = nullptr;
  return ::OpenThreadToken(::GetCurrentThread(), TOKEN_IMPERSONATE, TRUE, &token) ? token : nullptr;
}

}  // namespace

ScopedThreadToken::ScopedThreadToken(HANDLE token) : previous_(ThreadToken()) {
  worn_ = token && ::SetThreadToken(nullptr, token);
}

ScopedThreadToken::~ScopedThreadToken() {
  if (worn_) ::SetThreadToken(nullptr, previous_.Valid() ? previous_.Get() : nullptr);
}

}  // namespace quietreel::win32
