#include "platform/win32/Win32Platform.h"

#include <windows.h>
// windows.h first: these build on it.
#include <shlobj.h>

#include <cwchar>

#include "base/Path.h"
#include "platform/win32/GrowingBuffer.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {
namespace {

// From the system's own record of the token's user (the profile list in
// HKLM), not from USERPROFILE, which the user can set.
std::optional<std::wstring> ProfileDirectory(HANDLE token) {
  using GetProfile = BOOL WINAPI(HANDLE, LPWSTR, LPDWORD);
  SystemLibrary userenv(L"userenv.dll");
  auto* getProfile = userenv.Find<GetProfile>("GetUserProfileDirectoryW");
  if (!getProfile) return std::nullopt;
  std::optional<std::wstring> profile = GrowingBuffer([&](wchar_t* buffer, DWORD size) -> DWORD {
    DWORD needed = size;
    if (getProfile(token, buffer, &needed)) return static_cast<DWORD>(std::wcslen(buffer));
    return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? std::max(needed, size) : 0;
  });
  if (!profile) return std::nullopt;
  return WithoutTrailingSeparators(*profile);
}

// Folders Windows names only from Vista on, by GUID; XP has none of them.
std::optional<std::wstring> KnownFolderPath(const GUID& id, HANDLE token) {
  using GetKnownFolderPath = HRESULT WINAPI(const GUID&, DWORD, HANDLE, PWSTR*);
  using TaskMemFree = void WINAPI(LPVOID);
  SystemLibrary shell32(L"shell32.dll");
  SystemLibrary ole32(L"ole32.dll");
  auto* get = shell32.Find<GetKnownFolderPath>("SHGetKnownFolderPath");
  auto* free = ole32.Find<TaskMemFree>("CoTaskMemFree");
  PWSTR path = nullptr;
  if (!get || !free || FAILED(get(id, 0, token, &path)) || !path) return std::nullopt;
  std::wstring result = path;
  free(path);
  if (result.empty()) return std::nullopt;
  return WithoutTrailingSeparators(result);
}

constexpr GUID kDownloadsId = {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};
constexpr GUID kContactsId = {0x56784854, 0xC6CB, 0x462B, {0x81, 0x69, 0x88, 0xE3, 0x50, 0xAC, 0xB8, 0x82}};
constexpr GUID kSavedGamesId = {0x4C5C32FF, 0xBB9D, 0x43B0, {0xB5, 0xB4, 0x2D, 0x72, 0xE5, 0x4E, 0xAA, 0xA4}};

// As the settings of the token's user name it, not the program's: under
// over-the-shoulder elevation the program runs as another account.
std::optional<std::wstring> SpecialFolderPath(int csidl, HANDLE token) {
  using GetFolderPath = HRESULT WINAPI(HWND, int, HANDLE, DWORD, LPWSTR);
  SystemLibrary shell32(L"shell32.dll");
  auto* getFolderPath = shell32.Find<GetFolderPath>("SHGetFolderPathW");
  wchar_t buffer[MAX_PATH] = {};
  if (csidl < 0 || !getFolderPath || getFolderPath(nullptr, csidl, token, SHGFP_TYPE_CURRENT, buffer) != S_OK ||
      buffer[0] == L'\0')
    return std::nullopt;
  return WithoutTrailingSeparators(buffer);
}

// The folders every Windows names by number; -1 for the others.
int CsidlOf(KnownFolder folder) {
  constexpr struct {
    KnownFolder folder;
    int csidl;
  } kCsidls[] = {
      {KnownFolder::kAppData, CSIDL_APPDATA},
      {KnownFolder::kInternetCache, CSIDL_INTERNET_CACHE},
      {KnownFolder::kLocalAppData, CSIDL_LOCAL_APPDATA},
      {KnownFolder::kDocuments, CSIDL_PERSONAL},
      {KnownFolder::kDesktop, CSIDL_DESKTOPDIRECTORY},
      {KnownFolder::kPictures, CSIDL_MYPICTURES},
      {KnownFolder::kMusic, CSIDL_MYMUSIC},
      {KnownFolder::kVideos, CSIDL_MYVIDEO},
      {KnownFolder::kFavorites, CSIDL_FAVORITES},
  };
  for (const auto& entry : kCsidls)
    if (entry.folder == folder) return entry.csidl;
  return -1;
}

}  // namespace

std::optional<std::wstring> ShellFolders::Path(KnownFolder folder) {
  if (!token_) return std::nullopt;
  switch (folder) {
    case KnownFolder::kProfile:
      return ProfileDirectory(token_);
    case KnownFolder::kDownloads:
      return KnownFolderPath(kDownloadsId, token_);
    case KnownFolder::kContacts:
      return KnownFolderPath(kContactsId, token_);
    case KnownFolder::kSavedGames:
      return KnownFolderPath(kSavedGamesId, token_);
    default:
      return SpecialFolderPath(CsidlOf(folder), token_);
  }
}

// DnsFlushResolverCache is exported by dnsapi.dll since XP but declared in
// no SDK header. With the DNS Client service stopped it fails at once.
void SystemDnsCache::Flush() {
  using FlushResolverCache = BOOL WINAPI();
  SystemLibrary dnsapi(L"dnsapi.dll");
  if (auto* flush = dnsapi.Find<FlushResolverCache>("DnsFlushResolverCache")) flush();
}

std::wstring ModuleFileName() {
  return GrowingBuffer([](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); })
      .value_or(std::wstring());
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
