#include "platform/win32/Win32Platform.h"

#include <windows.h>
// windows.h first: these build on it.
#include <shlobj.h>

#include <vector>

#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {
namespace {

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// The token of the user the thread acts for: its own while it impersonates
// (opened with the process's rights, which a restricted token may lack
// over itself), else the process's.
HANDLE UserToken() {
  HANDLE token = nullptr;
  if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) return token;
  if (::GetLastError() == ERROR_NO_TOKEN && ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
    return token;
  return nullptr;
}

// From the system's own record of the user the thread acts for (the
// profile list in HKLM), not from USERPROFILE, which the user can set.
std::optional<std::wstring> ProfileDirectory() {
  using GetProfile = BOOL WINAPI(HANDLE, LPWSTR, LPDWORD);
  SystemLibrary userenv(L"userenv.dll");
  auto* getProfile = userenv.Find<GetProfile>("GetUserProfileDirectoryW");
  ScopedHandle token(UserToken());
  if (!getProfile || !token.Valid()) return std::nullopt;
  DWORD size = MAX_PATH;
  std::vector<wchar_t> buffer(size);
  if (!getProfile(token.Get(), buffer.data(), &size)) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    buffer.resize(size);
    if (!getProfile(token.Get(), buffer.data(), &size)) return std::nullopt;
  }
  if (buffer[0] == L'\0') return std::nullopt;
  return WithoutTrailingSeparators(buffer.data());
}

}  // namespace

std::optional<std::wstring> ShellFolders::Path(KnownFolder folder) {
  if (folder == KnownFolder::kProfile) return ProfileDirectory();
  using GetFolderPath = BOOL WINAPI(HWND, LPWSTR, int, BOOL);
  SystemLibrary shell32(L"shell32.dll");
  auto* getFolderPath = shell32.Find<GetFolderPath>("SHGetSpecialFolderPathW");
  wchar_t buffer[MAX_PATH] = {};
  int csidl = folder == KnownFolder::kAppData ? CSIDL_APPDATA : CSIDL_INTERNET_CACHE;
  if (!getFolderPath || !getFolderPath(nullptr, buffer, csidl, FALSE) || buffer[0] == L'\0') return std::nullopt;
  return WithoutTrailingSeparators(buffer);
}

// DnsFlushResolverCache is exported by dnsapi.dll since XP but declared in
// no SDK header. With the DNS Client service stopped it fails at once.
void SystemDnsCache::Flush() {
  using FlushResolverCache = BOOL WINAPI();
  SystemLibrary dnsapi(L"dnsapi.dll");
  if (auto* flush = dnsapi.Find<FlushResolverCache>("DnsFlushResolverCache")) flush();
}

// Asks with a buffer that grows until the name fits: a name cut short would
// point at another file.
std::wstring ModuleFileName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// drivers\etc is exempt from the redirection a 32-bit process meets on
// 64-bit Windows, so this names the one hosts file the system reads.
// Without a system folder there is no hosts file to name: a relative path
// would land in the current directory.
std::wstring HostsPath() {
  const std::wstring system = SystemDirectory();
  return system.empty() ? std::wstring() : system + L"\\drivers\\etc\\hosts";
}

}  // namespace quietreel::win32
