// What only the Win32 layer decides: where the hosts file is, whose profile
// the known folders must lie in, that a DNS flush is harmless, and where
// DLLs are looked for.
#include <gtest/gtest.h>
#include <windows.h>

#include "PlantedCode.h"
#include "TestSupport.h"
#include "base/Path.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UserRights.h"
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
  ScopedHandle user(DesktopUserToken(0));
  ShellFolders folders(user.Get());
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

// Once the search is narrowed, a DLL beside the program or in the current
// directory does not load by its bare name; the same file by its full path
// does, and its code runs, so a load would be seen. Wine has
// SetDefaultDllDirectories, which takes out both; without it (measured by
// leaving it out) both load here: Wine 8's SetDllDirectoryW(L"") leaves the
// current directory in the search, which Windows takes out from XP SP1 on.
// The narrowing is the program's first step and stays for the rest of this
// test process, which loads nothing by bare name.
TEST(Win32Platform, DllsBesideTheProgramOrInTheCurrentDirectoryDoNotLoadByName) {
  testsupport::ScratchFolder scratch;
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring beside = std::wstring(exe).substr(0, std::wstring(exe).rfind(L'\\') + 1) + L"planted.dll";
  const std::wstring inCurrent = scratch / L"planted-cwd.dll";
  ASSERT_TRUE(::CopyFileW(beside.c_str(), inCurrent.c_str(), TRUE));
  wchar_t saved[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(::SetCurrentDirectoryW(scratch.Path().c_str()));
  SearchSystemFolderForDlls();
  for (const std::wstring& path : {beside, inCurrent}) {
    const std::wstring name = path.substr(path.rfind(L'\\') + 1);
    ::DeleteFileW(QUIETREEL_E2E_PLANTED_RAN);
    EXPECT_EQ(ScopedModule(::LoadLibraryW(name.c_str())).Get(), nullptr);
    EXPECT_EQ(::GetFileAttributesW(QUIETREEL_E2E_PLANTED_RAN), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(ScopedModule(::LoadLibraryW(path.c_str())).Get(), nullptr);
    EXPECT_NE(::GetFileAttributesW(QUIETREEL_E2E_PLANTED_RAN), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(QUIETREEL_E2E_PLANTED_RAN);
  }
  ::SetCurrentDirectoryW(saved);
}

}  // namespace
}  // namespace quietreel::win32
