#include "platform/win32/LinkCheck.h"

#include <cwchar>
#include <optional>
#include <vector>

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// Opens the name itself, a link not followed, for nothing more than its
// facts; any other open shares with it.
HANDLE OpenForFacts(const std::wstring& path, DWORD flags) {
  return ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       flags | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The full name of what a handle reached, every link on the way followed.
// GetFinalPathNameByHandleW is Vista's; XP has no links to files, and its
// junctions carry the reparse-point attribute.
std::optional<std::wstring> FinalPath(HANDLE handle) {
  using GetFinalPath = DWORD WINAPI(HANDLE, LPWSTR, DWORD, DWORD);
  auto* getFinalPath = FunctionOfLoaded<GetFinalPath>(L"kernel32.dll", "GetFinalPathNameByHandleW");
  if (!getFinalPath) return std::nullopt;
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = getFinalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = getFinalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  if (length == 0 || length >= buffer.size()) return std::nullopt;
  return WithoutTrailingSeparators(std::wstring(buffer.data(), length));
}

// A link's handle reaches its target, whose full name is not the link's
// folder followed by the link's name. Wine 8 shows a Unix link to a file
// as a plain file and acts on its target when told to delete or change the
// link, so only this comparison tells the two apart there. The folder is
// resolved the same way, so short names and links above it do not count.
bool ReachedThroughLink(HANDLE file, const std::wstring& path) {
  const std::wstring trimmed = WithoutTrailingSeparators(path);
  const std::size_t slash = trimmed.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return false;
  const std::optional<std::wstring> reached = FinalPath(file);
  ScopedHandle folder(OpenForFacts(trimmed.substr(0, slash + 1), 0));
  const std::optional<std::wstring> folderPath = folder.Valid() ? FinalPath(folder.Get()) : std::nullopt;
  if (!reached || !folderPath) return false;
  const std::wstring expected = *folderPath + (folderPath->back() == L'\\' ? L"" : L"\\") + trimmed.substr(slash + 1);
  return ::_wcsicmp(reached->c_str(), expected.c_str()) != 0;
}

}  // namespace

// A reparse point (junction, symbolic link) or a file with a second name
// leads to bytes that may belong to someone else (the second name only
// where `oneNameOnly` asks). Asked of the open handle,
// so the answer is about the very file that is used, and of the name, which
// is all Wine marks. (A directory's count of names is its count of
// subdirectories on Unix.)
bool IsPlain(HANDLE file, const std::wstring& path, bool oneNameOnly) {
  BY_HANDLE_FILE_INFORMATION facts{};
  const DWORD named = ::GetFileAttributesW(path.c_str());
  if (named == INVALID_FILE_ATTRIBUTES || !::GetFileInformationByHandle(file, &facts)) return false;
  const DWORD attributes = facts.dwFileAttributes | named;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || ReachedThroughLink(file, path)) return false;
  return !oneNameOnly || (attributes & FILE_ATTRIBUTE_DIRECTORY) || facts.nNumberOfLinks <= 1;
}

// True when the name is a link of any kind, so that nothing is removed or
// changed through it. A file with a second name is no link: removing one
// name leaves the other.
bool IsLinkName(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  ScopedHandle file(OpenForFacts(path, FILE_FLAG_OPEN_REPARSE_POINT));
  return file.Valid() && ReachedThroughLink(file.Get(), path);
}

}  // namespace quietreel::win32
