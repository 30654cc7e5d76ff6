#include "platform/win32/ProgramFolder.h"

#include <cwchar>
#include <optional>
#include <vector>

#include "base/Path.h"
#include "platform/win32/LinkCheck.h"

namespace quietreel::win32 {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A folder's name as CreateFileW takes it: a drive's root keeps its
// backslash (`C:` alone is the drive's current directory).
std::wstring Openable(const std::wstring& folder) { return folder.back() == L':' ? folder + L"\\" : folder; }

// Whether the desktop user's token would be granted any right to change what
// the folder holds or who may change it. Where the answer cannot be had,
// the user counts as able to write, so that the folder's files are then
// handled with the user's rights. (A mandatory label on the folder is not
// read: it could only take rights away from the Medium-integrity token.)
bool UserCouldWrite(HANDLE folder, HANDLE token) {
  constexpr SECURITY_INFORMATION kParts =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  ::GetKernelObjectSecurity(folder, kParts, nullptr, 0, &size);
  if (size == 0) return true;
  std::vector<BYTE> descriptor(size);
  if (!token || !::GetKernelObjectSecurity(folder, kParts, descriptor.data(), size, &size)) return true;
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  PRIVILEGE_SET privileges{};
  DWORD privilegesSize = sizeof(privileges);
  DWORD granted = 0;
  BOOL status = FALSE;
  if (!::AccessCheck(descriptor.data(), token, MAXIMUM_ALLOWED, &mapping, &privileges, &privilegesSize, &granted,
                     &status))
    return true;
  constexpr DWORD kChanges =
      FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER;
  return status && (granted & kChanges) != 0;
}

// The folder of the exe's own file, opened without FILE_SHARE_DELETE:
// while the handle is open no one can open the folder for DELETE, which
// renaming, moving or removing it needs, and Windows renames no folder
// that holds an open file or folder, so the folders above it keep their
// names too. Where GetFinalPathNameByHandleW exists (Vista on) the name is
// the file's final one, with every link on the way resolved: a link the
// user retargets later then leads the program nowhere. XP has no links to
// files, and no final paths: a junction on the way is followed as it is
// now. Before anything is trusted, the held folder must still be the one
// named, and hold the very file Windows mapped as the running image, so a
// name that leads elsewhere since the program started is no folder of its;
// any step that fails leaves it unfixed.
HANDLE Fix(const std::wstring& exePath, const std::optional<FileId>& image, std::wstring& path) {
  if (!image) return nullptr;
  ScopedHandle exe(::CreateFileW(exePath.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!exe.Valid()) return nullptr;
  std::wstring file = exePath;
  if (CanNameHandles()) {
    std::optional<std::wstring> final = FinalPath(exe.Get());
    if (!final) return nullptr;
    file = *final;
  }
  const std::size_t slash = file.rfind(L'\\');
  if (slash == std::wstring::npos || slash == 0 || slash + 1 == file.size()) return nullptr;
  const std::wstring folderName = file.substr(0, slash);
  ScopedHandle folder(::CreateFileW(Openable(folderName).c_str(), FILE_LIST_DIRECTORY | READ_CONTROL | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.Valid()) return nullptr;
  if (CanNameHandles()) {
    std::optional<std::wstring> named = FinalPath(folder.Get());
    if (!named || ::_wcsicmp(named->c_str(), folderName.c_str()) != 0) return nullptr;
  }
  ScopedHandle again(::CreateFileW(JoinPath(folderName, file.substr(slash + 1)).c_str(), FILE_READ_ATTRIBUTES,
                                   kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  const std::optional<FileId> held = again.Valid() ? IdOf(again.Get()) : std::nullopt;
  if (!held || !(*held == *image)) return nullptr;
  path = PlainPath(folderName);
  return folder.Release();
}

}  // namespace

std::wstring PlainPath(const std::wstring& finalPath) {
  const std::wstring prefix = L"\\\\?\\";
  std::wstring path = finalPath;
  if (path.compare(0, prefix.size(), prefix) == 0) {
    const std::wstring rest = path.substr(prefix.size());
    if (rest.compare(0, 4, L"UNC\\") == 0) {
      path = L"\\\\" + rest.substr(4);
    } else if (rest.size() >= 2 && rest[1] == L':') {
      path = rest;
    }
  }
  return WithoutTrailingSeparators(path);
}

ProgramFolder::ProgramFolder(HANDLE userToken) : ProgramFolder(RunningImageName(), RunningImageId(), userToken) {}

ProgramFolder::ProgramFolder(const std::wstring& exePath, const std::optional<FileId>& image, HANDLE userToken)
    : folder_(Fix(exePath, image, path_)) {
  if (!folder_.Valid()) {
    path_.clear();
    return;
  }
  userCanWrite_ = UserCouldWrite(folder_.Get(), userToken);
}

}  // namespace quietreel::win32
