// The user's own rights: a copy of a token in which
// Administrators and every group UAC's filtered token keeps to deny only
// deny, every other group is as it was, no privilege is left but traversing
// folders, the integrity level is Medium and the owner of what it creates
// is the user; worn by the thread for a scope, the user's folders are still
// named the same, and afterwards the thread has no token of its own. The
// desktop user's token is the desktop shell's where there is one. Wine has no file ACLs, so that the
// token keeps anything out is not seen here. Measured under Wine 8: it
// ignores DISABLE_MAX_PRIVILEGE ("fixme:ntdll:NtFilterToken flags 0x1
// unsupported"), accepts a Medium integrity level and keeps High, cannot
// set the owner (its owner, Domain Users, stays enabled), and its linked
// token has nothing deny-only; so privileges, integrity level and owner are
// checked on Windows only, and the groups against the built-in list.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: sddl.h builds on it.
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/ScopedOle.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UserRights.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel::win32 {
namespace {

// The attributes of the token's Administrators group, if it has one.
std::optional<DWORD> AdministratorsAttributes(HANDLE token) {
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(administrators);
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return std::nullopt;
  std::vector<BYTE> buffer = TokenInformation(token, TokenGroups);
  if (buffer.empty()) return std::nullopt;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i)
    if (::EqualSid(groups->Groups[i].Sid, administrators)) return groups->Groups[i].Attributes;
  return std::nullopt;
}

std::vector<SID_AND_ATTRIBUTES> Groups(const std::vector<BYTE>& buffer) {
  if (buffer.empty()) return {};
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  return std::vector<SID_AND_ATTRIBUTES>(groups->Groups, groups->Groups + groups->GroupCount);
}

// What the linked token, or else UAC's list of administrators' groups,
// keeps to deny only: Administrators, Backup Operators, a domain's Domain
// Admins, S-1-5-114 (checked by their string forms, apart from the code).
bool FilteredByUac(PSID sid, const std::vector<SID_AND_ATTRIBUTES>& linked) {
  for (const SID_AND_ATTRIBUTES& group : linked)
    if ((group.Attributes & SE_GROUP_USE_FOR_DENY_ONLY) && ::EqualSid(group.Sid, sid)) return true;
  wchar_t* text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return false;
  const std::wstring name = text;
  ::LocalFree(text);
  const std::wstring rid = name.substr(name.rfind(L'-') + 1);
  if (name == L"S-1-5-114" || (name.compare(0, 9, L"S-1-5-32-") == 0 &&
                               (rid == L"544" || rid == L"547" || rid == L"548" || rid == L"549" || rid == L"550" ||
                                rid == L"551" || rid == L"553" || rid == L"554" || rid == L"556" || rid == L"569")))
    return true;
  return name.compare(0, 9, L"S-1-5-21-") == 0 && std::count(name.begin(), name.end(), L'-') == 7 &&
         (rid == L"498" || rid == L"512" || rid == L"516" || rid == L"517" || rid == L"518" || rid == L"519" ||
          rid == L"520" || rid == L"521");
}

std::vector<SID_AND_ATTRIBUTES> LinkedGroups(HANDLE process, std::vector<BYTE>& storage) {
  std::vector<BYTE> linked = TokenInformation(process, TokenLinkedToken);
  if (linked.empty()) return {};
  ScopedHandle token(reinterpret_cast<TOKEN_LINKED_TOKEN*>(linked.data())->LinkedToken);
  storage = TokenInformation(token.Get(), TokenGroups);
  return Groups(storage);
}

DWORD IntegrityRid(HANDLE token) {
  std::vector<BYTE> label = TokenInformation(token, TokenIntegrityLevel);
  if (label.empty()) return 0;
  PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  return *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1u);
}

bool OwnerIsUser(HANDLE token) {
  std::vector<BYTE> owner = TokenInformation(token, TokenOwner), user = TokenInformation(token, TokenUser);
  return !owner.empty() && !user.empty() &&
         ::EqualSid(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner,
                    reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

std::vector<std::wstring> PrivilegeNames(HANDLE token) {
  std::vector<std::wstring> names;
  std::vector<BYTE> buffer = TokenInformation(token, TokenPrivileges);
  if (buffer.empty()) return names;
  const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    LUID luid = privileges->Privileges[i].Luid;
    wchar_t name[64] = {};
    DWORD length = 64;
    names.push_back(::LookupPrivilegeNameW(nullptr, &luid, name, &length) ? name : L"?");
  }
  return names;
}

bool RunsOnWine() { return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

HANDLE ProcessToken() {
  HANDLE token = nullptr;
  return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY, &token)
             ? token
             : nullptr;
}

HANDLE ThreadToken() {
  HANDLE token = nullptr;
  return ::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token) ? token : nullptr;
}

TEST(UserRights, ThreadActsAsTheDesktopUserForTheScopeOnly) {
  ScopedHandle process(ProcessToken());
  const std::optional<DWORD> processAdministrators = AdministratorsAttributes(process.Get());
  // Without the group in the process token there would be nothing to see.
  ASSERT_TRUE(processAdministrators) << "the test program must run as an administrator";
  ASSERT_EQ(*processAdministrators & SE_GROUP_USE_FOR_DENY_ONLY, 0u);
  const std::optional<std::wstring> profile = ShellFolders(process.Get()).Path(KnownFolder::kProfile);
  const std::optional<std::wstring> appData = ShellFolders(process.Get()).Path(KnownFolder::kAppData);
  ASSERT_TRUE(profile && appData);
  ScopedHandle user(UserRightsToken(process.Get()));
  ShellFolders folders(user.Get());
  {
    ScopedThreadToken wearing(user.Get());
    ASSERT_TRUE(wearing.Worn());
    ScopedHandle thread(ThreadToken());
    ASSERT_TRUE(thread.Valid());
    const std::optional<DWORD> administrators = AdministratorsAttributes(thread.Get());
    ASSERT_TRUE(administrators);
    EXPECT_EQ(*administrators & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED), DWORD{SE_GROUP_USE_FOR_DENY_ONLY});
    std::vector<BYTE> processBuffer = TokenInformation(process.Get(), TokenGroups), linkedBuffer;
    const std::vector<SID_AND_ATTRIBUTES> linked = LinkedGroups(process.Get(), linkedBuffer);
    std::vector<BYTE> threadBuffer = TokenInformation(thread.Get(), TokenGroups);
    const std::vector<SID_AND_ATTRIBUTES> before = Groups(processBuffer), after = Groups(threadBuffer);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
      ASSERT_TRUE(::EqualSid(before[i].Sid, after[i].Sid));
      if (FilteredByUac(before[i].Sid, linked)) {
        EXPECT_EQ(after[i].Attributes & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED),
                  DWORD{SE_GROUP_USE_FOR_DENY_ONLY})
            << "group " << i;
      } else {
        EXPECT_EQ(after[i].Attributes, before[i].Attributes) << "group " << i;
      }
    }
    if (!RunsOnWine()) {
      EXPECT_EQ(PrivilegeNames(thread.Get()), std::vector<std::wstring>{L"SeChangeNotifyPrivilege"});
      EXPECT_EQ(IntegrityRid(thread.Get()), DWORD{SECURITY_MANDATORY_MEDIUM_RID});
      EXPECT_TRUE(OwnerIsUser(thread.Get()));
    }
    EXPECT_EQ(folders.Path(KnownFolder::kProfile), profile);
    EXPECT_EQ(folders.Path(KnownFolder::kAppData), appData);
  }
  EXPECT_FALSE(ScopedHandle(ThreadToken()).Valid());
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_NO_TOKEN});
}

// The file name a running process was started from; empty when it is gone.
std::wstring ImageName(DWORD process) {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
    if (entry.th32ProcessID == process) return entry.szExeFile;
  return std::wstring();
}

// BUILTIN\Users, which the desktop user's token keeps as it was.
bool UsersOnlyDeny(HANDLE token) {
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(users);
  if (!::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return false;
  std::vector<BYTE> buffer = TokenInformation(token, TokenGroups);
  for (const SID_AND_ATTRIBUTES& group : Groups(buffer))
    if (::EqualSid(group.Sid, users)) return (group.Attributes & SE_GROUP_USE_FOR_DENY_ONLY) != 0;
  return false;
}

// A process of another token than ours stands for the shell: the command
// interpreter, started suspended with a token in which Users only denies.
// The token made for it must be that one's, and the one made where there
// is no shell this process's. Under Wine every process is elevated and the
// desktop shell is explorer.exe in the Wine desktop; its window is not
// GetShellWindow's (null there) but the one the shell's window list names.
TEST(UserRights, DesktopUsersTokenIsTheShellProcesssWhereThereIsAShell) {
  ScopedOle ole;
  const DWORD shell = DesktopShellProcess();
  ASSERT_NE(shell, 0u) << "no desktop shell in this session";
  EXPECT_NE(shell, ::GetCurrentProcessId());
  if (RunsOnWine()) {
    EXPECT_EQ(ImageName(shell), L"explorer.exe");
  }

  ScopedHandle process(ProcessToken());
  BYTE users[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(users);
  ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size));
  SID_AND_ATTRIBUTES denied{users, 0};
  HANDLE raw = nullptr;
  ASSERT_TRUE(::CreateRestrictedToken(process.Get(), 0, 1, &denied, 0, nullptr, 0, nullptr, &raw));
  ScopedHandle marked(raw);
  std::wstring command = L"\"" + SystemDirectory() + L"\\cmd.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(::CreateProcessAsUserW(marked.Get(), nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                     nullptr, nullptr, &startup, &started))
      << ::GetLastError();
  ScopedHandle child(started.hProcess), thread(started.hThread);
  ScopedHandle fromChild(DesktopUserToken(started.dwProcessId)), fromNone(DesktopUserToken(0));
  ::TerminateProcess(child.Get(), 0);
  ASSERT_TRUE(fromChild.Valid() && fromNone.Valid());
  EXPECT_TRUE(UsersOnlyDeny(fromChild.Get()));
  EXPECT_FALSE(UsersOnlyDeny(fromNone.Get()));
}

}  // namespace
}  // namespace quietreel::win32
