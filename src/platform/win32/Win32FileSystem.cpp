#include "platform/win32/Win32FileSystem.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/win32/LinkCheck.h"
#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {
namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
    DWORD done = 0;
    if (!::WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
    written += done;
  }
  return true;
}

// The directory is opened and checked on its handle before it is listed:
// one swapped for a link since the caller looked at it lists nothing. The
// handle, kept open while listing and shared for everything but deletion,
// stops the directory from being renamed or replaced meanwhile.
class FindEnumeration : public DirectoryEnumeration {
 public:
  explicit FindEnumeration(const std::wstring& directory)
      : directory_(::CreateFileW(directory.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
        find_(IsRealDirectory(directory) ? ::FindFirstFileW(Pattern(directory).c_str(), &data_) : INVALID_HANDLE_VALUE),
        pending_(find_.Valid()) {}

  bool Next(FileEntry& entry) override {
    while (pending_) {
      std::wstring name = data_.cFileName;
      std::uint32_t attributes = data_.dwFileAttributes;
      pending_ = ::FindNextFileW(find_.Get(), &data_) != FALSE;
      if (name == L"." || name == L"..") continue;
      entry.name = std::move(name);
      entry.attributes = attributes;
      return true;
    }
    return false;
  }

 private:
  bool IsRealDirectory(const std::wstring& directory) const {
    return directory_.Valid() && IsPlain(directory_.Get(), directory, false);
  }

  static std::wstring Pattern(const std::wstring& directory) {
    bool separated = !directory.empty() && directory.back() == L'\\';
    return directory + (separated ? L"*.*" : L"\\*.*");
  }

  ScopedHandle directory_;
  WIN32_FIND_DATAW data_{};
  ScopedFind find_;
  bool pending_;
};

// Sets a file's attributes through its handle, so they land on the very
// file that was opened. NtSetInformationFile is there on every Windows;
// SetFileInformationByHandle only from Vista on.
bool SetAttributesOf(HANDLE file, DWORD attributes) {
  struct BasicInformation {
    LARGE_INTEGER creation, lastAccess, lastWrite, change;  // zero: left as they are
    ULONG attributes;
  } basic{};
  struct IoStatus {
    ULONG_PTR status;
    ULONG_PTR information;
  } io{};
  using SetInformationFile = LONG NTAPI(HANDLE, IoStatus*, void*, ULONG, int);
  constexpr int kFileBasicInformation = 4;
  auto* setInformation = FunctionOfLoaded<SetInformationFile>(L"ntdll.dll", "NtSetInformationFile");
  basic.attributes = attributes;
  if (setInformation) setInformation(file, &io, &basic, sizeof(basic), kFileBasicInformation);
  BY_HANDLE_FILE_INFORMATION facts{};
  return ::GetFileInformationByHandle(file, &facts) && (facts.dwFileAttributes & attributes) == attributes;
}

}  // namespace

bool Win32FileSystem::Exists(const std::wstring& path) { return ::_waccess(path.c_str(), 0) == 0; }

FileKind Win32FileSystem::Kind(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  ScopedHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.Valid() && !IsPlain(file.Get(), path, true)) return FileKind::kOther;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileKind::kOther;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kDirectory : FileKind::kFile;
}

bool Win32FileSystem::OpensAsFile(const std::wstring& path) {
  ScopedStream stream(::_wfopen(path.c_str(), L"rb"));
  return stream.Valid();
}

// Writers are shut out while the file is read, so it is read whole as one
// version of itself, and only once the handle is known to be a plain file.
ReadResult Win32FileSystem::ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) return {ReadStatus::kOpenFailed, {}};
  if (!IsPlain(file.Get(), path, names == Names::kOneOnly)) return {ReadStatus::kNotPlain, {}};
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size)) return {ReadStatus::kReadFailed, {}};
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return {ReadStatus::kTooLarge, {}};
  ReadResult result{ReadStatus::kOk, {}};
  try {
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return {ReadStatus::kTooLarge, {}};
  }
  std::size_t read = 0;
  while (read < result.bytes.size()) {
    DWORD done = 0;
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - read, 1u << 20));
    if (!::ReadFile(file.Get(), &result.bytes[read], chunk, &done, nullptr) || done == 0)
      return {ReadStatus::kReadFailed, {}};
    read += done;
  }
  return result;
}

std::optional<std::string> Win32FileSystem::ReadTail(const std::wstring& path, std::size_t count) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.Valid() || !::GetFileSizeEx(file.Get(), &size)) return std::nullopt;
  std::string tail(std::min<std::size_t>(count, static_cast<std::size_t>(size.QuadPart)), '\0');
  LARGE_INTEGER back{};
  back.QuadPart = -static_cast<LONGLONG>(tail.size());
  DWORD done = 0;
  if (tail.empty()) return tail;
  if (!::SetFilePointerEx(file.Get(), back, nullptr, FILE_END) ||
      !::ReadFile(file.Get(), &tail[0], static_cast<DWORD>(tail.size()), &done, nullptr) || done != tail.size())
    return std::nullopt;
  return tail;
}

AppendStatus Win32FileSystem::Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return AppendStatus::kOpenFailed;
  LARGE_INTEGER zero{};
  bool written = ::SetFilePointerEx(file.Get(), zero, nullptr, FILE_END) && WriteAll(file.Get(), bytes) &&
                 ::FlushFileBuffers(file.Get());
  bool closed = file.Close();
  return written && closed ? AppendStatus::kOk : AppendStatus::kWriteFailed;
}

// CREATE_NEW fails on any name that exists, a link or a dangling link
// included. The attributes are set on the new file's own handle, read-only
// last: Wine, for a user other than root, cannot store hidden and system on
// a file that is already read-only. A file that could not be written whole
// is taken away again.
bool Win32FileSystem::CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) {
  const DWORD firstAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  firstAttributes ? firstAttributes : FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get()) &&
                 (firstAttributes == attributes || SetAttributesOf(file.Get(), attributes));
  written = file.Close() && written;
  if (!written) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  }
  return written;
}

bool Win32FileSystem::MoveReplacing(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Windows removes a link it is told to remove; Wine removes the link's
// target. Neither is ever asked to.
bool Win32FileSystem::Remove(const std::wstring& path) {
  return !IsLinkName(path) && ::DeleteFileW(path.c_str()) != FALSE;
}

bool Win32FileSystem::RemoveEmptyDirectory(const std::wstring& path) {
  return !IsLinkName(path) && ::RemoveDirectoryW(path.c_str()) != FALSE;
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

// 0 is "no attributes" to the program and FILE_ATTRIBUTE_NORMAL to Windows.
// Through a link, the attributes would be the target's. Read-only goes on
// last: Wine, for a user other than root, cannot store hidden and system on
// a file that is already read-only.
bool Win32FileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  if (IsLinkName(path)) return false;
  const DWORD first = attributes & ~FILE_ATTRIBUTE_READONLY;
  if (first != attributes && first != 0 && !::SetFileAttributesW(path.c_str(), first)) return false;
  return ::SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

std::unique_ptr<DirectoryEnumeration> Win32FileSystem::Enumerate(const std::wstring& directory) {
  return std::make_unique<FindEnumeration>(directory);
}

std::size_t Win32FileSystem::MaxPathLength() const { return MAX_PATH - 1; }

}  // namespace quietreel::win32
