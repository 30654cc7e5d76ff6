#include "platform/win32/Win32FileSystem.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/win32/ScopedHandle.h"

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

// FlushFileBuffers wants a handle open for writing, which a read-only file
// refuses: the bit goes off for the open and back on after it.
bool FlushToDisk(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly && !::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return false;
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  bool flushed = file.Valid() && ::FlushFileBuffers(file.Get());
  flushed = file.Close() && flushed;
  return (!readOnly || ::SetFileAttributesW(path.c_str(), attributes)) && flushed;
}

class FindEnumeration : public DirectoryEnumeration {
 public:
  explicit FindEnumeration(const std::wstring& directory)
      : find_(::FindFirstFileW(Pattern(directory).c_str(), &data_)), pending_(find_.Valid()) {}

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
  static std::wstring Pattern(const std::wstring& directory) {
    bool separated = !directory.empty() && directory.back() == L'\\';
    return directory + (separated ? L"*.*" : L"\\*.*");
  }

  WIN32_FIND_DATAW data_{};
  ScopedFind find_;
  bool pending_;
};

}  // namespace

bool Win32FileSystem::Exists(const std::wstring& path) { return ::_waccess(path.c_str(), 0) == 0; }

bool Win32FileSystem::OpensAsFile(const std::wstring& path) {
  ScopedStream stream(::_wfopen(path.c_str(), L"rb"));
  return stream.Valid();
}

// Writers are shut out while the file is read, so it is read whole as one
// version of itself.
ReadResult Win32FileSystem::ReadWhole(const std::wstring& path, std::size_t maxBytes) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return {ReadStatus::kOpenFailed, {}};
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

bool Win32FileSystem::CreateWithBytes(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
  return file.Close() && written;
}

// CopyFileW leaves the copy in the cache: after a power cut it can come back
// empty or as zeros while its size survives. Block's `backup`, its rollback
// and Restore's scratch copy are each trusted by the next step, so the copy
// is flushed before this says it is made.
bool Win32FileSystem::Copy(const std::wstring& from, const std::wstring& to) {
  return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE && FlushToDisk(to);
}

bool Win32FileSystem::MoveReplacing(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileSystem::Remove(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != FALSE; }

bool Win32FileSystem::RemoveEmptyDirectory(const std::wstring& path) {
  return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool Win32FileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  return ::SetFileAttributesW(path.c_str(), attributes) != FALSE;
}

std::unique_ptr<DirectoryEnumeration> Win32FileSystem::Enumerate(const std::wstring& directory) {
  return std::make_unique<FindEnumeration>(directory);
}

std::size_t Win32FileSystem::MaxPathLength() const { return MAX_PATH - 1; }

}  // namespace quietreel::win32
