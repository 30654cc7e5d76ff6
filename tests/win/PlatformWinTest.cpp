// What only the Win32 layer decides: where the hosts file is, whose profile
// the known folders must lie in, and that a DNS flush is harmless.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/Path.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel::win32 {
namespace {

TEST(Win32Platform, HostsFileIsInTheSystemFolderWindowsRunsFrom) {
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
  EXPECT_EQ(HostsPath(), std::wstring(system) + L"\\drivers\\etc\\hosts");
  EXPECT_EQ(SystemDirectory(), system);
}

// The profile comes from the system's record of the user, not from the
// environment the user controls.
TEST(Win32Platform, ProfileIsTheSystemsRecordAndHoldsTheShellFolders) {
  ShellFolders folders;
  const std::optional<std::wstring> profile = folders.Path(KnownFolder::kProfile);
  ASSERT_TRUE(profile);
  wchar_t saved[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"USERPROFILE", saved, MAX_PATH);
  ::SetEnvironmentVariableW(L"USERPROFILE", L"C:\\users\\Public");
  EXPECT_EQ(folders.Path(KnownFolder::kProfile), profile);
  ::SetEnvironmentVariableW(L"USERPROFILE", saved);
  for (KnownFolder folder : {KnownFolder::kAppData, KnownFolder::kInternetCache}) {
    const std::optional<std::wstring> path = folders.Path(folder);
    ASSERT_TRUE(path);
    EXPECT_TRUE(IsInsideFolder(*profile, *path));
  }
}

// The flush is found in the system's dnsapi.dll; a missing library or
// function is no error.
TEST(Win32Platform, DnsFlushIsFoundAndItsAbsenceIsHarmless) {
  SystemLibrary dnsapi(L"dnsapi.dll");
  EXPECT_NE(dnsapi.Find<BOOL WINAPI()>("DnsFlushResolverCache"), nullptr);
  SystemDnsCache().Flush();
  EXPECT_EQ(SystemLibrary(L"no-such-library.dll").Find<BOOL WINAPI()>("DnsFlushResolverCache"), nullptr);
}

}  // namespace
}  // namespace quietreel::win32
