#include "platform/win32/LinkCheck.h"

#include <cwchar>

#include "base/Path.h"
#include "platform/win32/GrowingBuffer.h"
#include "platform/win32/NtFile.h"
#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

using GetFinalPath = DWORD WINAPI(HANDLE, LPWSTR, DWORD, DWORD);

GetFinalPath* FinalPathFunction() {
  return FunctionOfLoaded<GetFinalPath>(L"kernel32.dll", "GetFinalPathNameByHandleW");
}

// The folder a path names its last part in, opened for nothing more than
// its facts; any other open shares with it.
HANDLE OpenFolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return INVALID_HANDLE_VALUE;
  return ::CreateFileW(path.substr(0, slash + 1).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

std::wstring LastPart(const std::wstring& path) {
  const std::wstring trimmed = WithoutTrailingSeparators(path);
  return trimmed.substr(trimmed.find_last_of(L"\\/") + 1);
}

std::optional<std::wstring> FolderFinalPath(const std::wstring& path) {
  if (!CanNameHandles()) return std::wstring();
  ScopedHandle folder(OpenFolderOf(WithoutTrailingSeparators(path)));
  return folder.Valid() ? FinalPath(folder.Get()) : std::nullopt;
}

bool CanNameHandles() { return FinalPathFunction() != nullptr; }

std::optional<std::wstring> FinalPath(HANDLE handle) {
  GetFinalPath* getFinalPath = FinalPathFunction();
  if (!getFinalPath) return std::nullopt;
  std::optional<std::wstring> path =
      GrowingBuffer([&](wchar_t* buffer, DWORD size) { return getFinalPath(handle, buffer, size, 0); });
  if (!path) return std::nullopt;
  return WithoutTrailingSeparators(*path);
}

// A link's handle reaches its target, whose full name is not the link's
// folder followed by the link's name. Wine 8 shows a Unix link to a file
// as a plain file and acts on its target when told to delete or change the
// link, so only this comparison tells the two apart there. Short names and
// links above the folder do not count: both sides are resolved alike.
bool ReachedAs(HANDLE handle, const std::wstring& folderFinalPath, const std::wstring& name) {
  if (!CanNameHandles()) return true;
  const std::optional<std::wstring> reached = FinalPath(handle);
  if (!reached || folderFinalPath.empty()) return false;
  return ::_wcsicmp(reached->c_str(), JoinPath(folderFinalPath, name).c_str()) == 0;
}

// A reparse point (junction, symbolic link) or a file with a second name
// leads to bytes that may belong to someone else (the second name only
// where `oneNameOnly` asks). Asked of the open handle, so the answer is
// about the very file that is used, and of the name, which is all Wine
// marks. Whatever cannot be checked counts as not plain. (A directory's
// count of names is its count of subdirectories on Unix.)
CheckedHandle CheckHandle(HANDLE handle, const std::wstring& path, bool oneNameOnly) {
  const DWORD named = ::GetFileAttributesW(path.c_str());
  const std::optional<DWORD> reached = AttributesOf(handle);
  if (named == INVALID_FILE_ATTRIBUTES || !reached) return {};
  const DWORD attributes = *reached | named;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return {};
  if (oneNameOnly && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const std::optional<ULONG> names = NamesOf(handle);
    if (!names || *names > 1) return {};
  }
  if (!CanNameHandles()) return {true, std::wstring()};
  const std::optional<std::wstring> folder = FolderFinalPath(path);
  if (!folder || !ReachedAs(handle, *folder, LastPart(path))) return {};
  return {true, JoinPath(*folder, LastPart(path))};
}

}  // namespace quietreel::win32
