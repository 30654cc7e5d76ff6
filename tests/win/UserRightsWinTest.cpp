// The repairs' restricted token: inside the scope the thread wears a token
// in which Administrators only denies and no privilege is left but
// traversing folders, the user's folders are still named the same, and
// afterwards the thread has no token of its own. Wine has no file ACLs, so
// that the token keeps anything out is not seen here; and Wine 8 ignores
// DISABLE_MAX_PRIVILEGE ("fixme:ntdll:NtFilterToken flags 0x1
// unsupported"), so the privileges are checked on Windows only.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel::win32 {
namespace {

std::vector<BYTE> Information(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  ::GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
  return buffer;
}

// The attributes of the token's Administrators group, if it has one.
std::optional<DWORD> AdministratorsAttributes(HANDLE token) {
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof(administrators);
  if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return std::nullopt;
  std::vector<BYTE> buffer = Information(token, TokenGroups);
  if (buffer.empty()) return std::nullopt;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i)
    if (::EqualSid(groups->Groups[i].Sid, administrators)) return groups->Groups[i].Attributes;
  return std::nullopt;
}

std::vector<std::wstring> PrivilegeNames(HANDLE token) {
  std::vector<std::wstring> names;
  std::vector<BYTE> buffer = Information(token, TokenPrivileges);
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

bool RunsOnWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

HANDLE ProcessToken() {
  HANDLE token = nullptr;
  return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ? token : nullptr;
}

HANDLE ThreadToken() {
  HANDLE token = nullptr;
  return ::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token) ? token : nullptr;
}

TEST(ScopedUserRights, ThreadDropsAdministratorsAndPrivilegesForTheScopeOnly) {
  ScopedHandle process(ProcessToken());
  const std::optional<DWORD> processAdministrators = AdministratorsAttributes(process.Get());
  // Without the group in the process token there would be nothing to see.
  ASSERT_TRUE(processAdministrators) << "the test program must run as an administrator";
  ASSERT_EQ(*processAdministrators & SE_GROUP_USE_FOR_DENY_ONLY, 0u);
  ShellFolders folders;
  const std::optional<std::wstring> profile = folders.Path(KnownFolder::kProfile);
  const std::optional<std::wstring> appData = folders.Path(KnownFolder::kAppData);
  ASSERT_TRUE(profile && appData);
  {
    ScopedUserRights userRights;
    ASSERT_TRUE(userRights.Restricted());
    ScopedHandle thread(ThreadToken());
    ASSERT_TRUE(thread.Valid());
    const std::optional<DWORD> administrators = AdministratorsAttributes(thread.Get());
    ASSERT_TRUE(administrators);
    EXPECT_EQ(*administrators & (SE_GROUP_USE_FOR_DENY_ONLY | SE_GROUP_ENABLED), DWORD{SE_GROUP_USE_FOR_DENY_ONLY});
    if (!RunsOnWine()) {
      EXPECT_EQ(PrivilegeNames(thread.Get()), std::vector<std::wstring>{L"SeChangeNotifyPrivilege"});
    }
    EXPECT_EQ(folders.Path(KnownFolder::kProfile), profile);
    EXPECT_EQ(folders.Path(KnownFolder::kAppData), appData);
  }
  EXPECT_FALSE(ScopedHandle(ThreadToken()).Valid());
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_NO_TOKEN});
}

}  // namespace
}  // namespace quietreel::win32
