#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "base/Path.h"
#include "platform/win32/LinkCheck.h"
#include "platform/win32/NtFile.h"
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

// What SetFileAttributesW lets a program set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Opens the name itself with `access`, a link there not followed, and
// checks that very handle reached it as `name` in the folder whose full
// name is `folderFinalPath`. What is done next goes through the handle, so
// nothing that takes the name in between is acted on in its place. Null
// when the open or the check fails.
HANDLE OpenOwnName(const std::wstring& path, DWORD access, const std::wstring& folderFinalPath,
                   const std::wstring& name) {
  const auto open = [&path](DWORD rights) {
    return ::CreateFileW(path.c_str(), rights | FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  };
  ScopedHandle file(open(access));
  // Wine opens the Unix file for writing to grant FILE_WRITE_ATTRIBUTES,
  // which a read-only file refuses to a user other than root; it then sets
  // attributes through any handle. Windows grants it whatever the bits.
  if (!file.Valid() && ::GetLastError() == ERROR_ACCESS_DENIED && (access & FILE_WRITE_ATTRIBUTES))
    file.Reset(open(access & ~FILE_WRITE_ATTRIBUTES));
  if (!file.Valid() || !ReachedAs(file.Get(), folderFinalPath, name)) return nullptr;
  return file.Release();
}

// The handle's attributes, or nothing when it is a link (Windows opens a
// link itself when told not to follow it) or cannot say.
std::optional<DWORD> PlainAttributes(HANDLE file) {
  const std::optional<DWORD> attributes = AttributesOf(file);
  if (!attributes || (*attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
  return attributes;
}

// Sets the settable bits through the handle, read-only last: Wine, for a
// user other than root, cannot store hidden and system on a file that is
// already read-only (it takes the Unix write bits away with it).
bool SetAttributesThrough(HANDLE file, DWORD attributes) {
  const DWORD wanted = attributes & kSettableAttributes;
  const DWORD first = wanted & ~FILE_ATTRIBUTE_READONLY;
  return (first == wanted || SetAttributesOf(file, first)) && SetAttributesOf(file, wanted);
}

// Whether a removal must ask the handle if it reached a link. A listing
// saw each entry's attributes already, and skips links; asking the handle
// too costs Wine a trip to its server for the file's Unix descriptor,
// more than the deletion itself.
enum class LinkCheck { kListed, kAskHandle };

// The one way a name is removed: opened as itself and checked to have been
// reached as `name` in the folder whose full name is `folderFinalPath`,
// then deleted through that handle. Most names go on the first try,
// through a handle that asks for no more than deletion. A read-only file
// refuses to be deleted: it is opened and checked once more, with the
// right to change attributes, loses the bit through that handle, and gets
// it back if it stays.
bool RemoveOwnName(const std::wstring& path, const std::wstring& folderFinalPath, const std::wstring& name,
                   LinkCheck linkCheck) {
  {
    ScopedHandle file(OpenOwnName(path, DELETE, folderFinalPath, name));
    if (!file.Valid() || (linkCheck == LinkCheck::kAskHandle && !PlainAttributes(file.Get()))) return false;
    if (MarkForDeletion(file.Get())) return true;
  }
  ScopedHandle file(OpenOwnName(path, DELETE | FILE_WRITE_ATTRIBUTES, folderFinalPath, name));
  const std::optional<DWORD> attributes = file.Valid() ? PlainAttributes(file.Get()) : std::nullopt;
  if (!attributes || !(*attributes & FILE_ATTRIBUTE_READONLY)) return false;
  if (!SetAttributesOf(file.Get(), *attributes & kSettableAttributes & ~FILE_ATTRIBUTE_READONLY)) return false;
  if (MarkForDeletion(file.Get())) return true;
  SetAttributesThrough(file.Get(), *attributes);
  return false;
}

// The directory is opened and checked on its handle before it is listed:
// one swapped for a link since the caller looked at it lists nothing. The
// handle, kept open while listing and shared for everything but deletion,
// stops the directory from being renamed or replaced meanwhile, so its
// entries are removed without checking it again.
class FindEnumeration : public DirectoryEnumeration {
 public:
  explicit FindEnumeration(const std::wstring& directory)
      : path_(directory),
        directory_(::CreateFileW(directory.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
        checked_(directory_.Valid() ? CheckHandle(directory_.Get(), directory, false) : CheckedHandle{}),
        find_(checked_.plain ? ::FindFirstFileW(JoinPath(directory, L"*").c_str(), &data_) : INVALID_HANDLE_VALUE),
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

  // An entry listed as a link is left alone. One that became a link since
  // it was listed is opened as itself: Windows then deletes the link,
  // never what it points at; Wine's handle reaches the target, whose final
  // path refuses the deletion.
  bool Remove(const FileEntry& entry) override {
    if (!checked_.plain || IsLink(entry.attributes)) return false;
    return RemoveOwnName(JoinPath(path_, entry.name), checked_.finalPath, entry.name, LinkCheck::kListed);
  }

 private:
  std::wstring path_;
  ScopedHandle directory_;
  CheckedHandle checked_;
  WIN32_FIND_DATAW data_{};
  ScopedFind find_;
  bool pending_;
};

// Deletion goes through the handle that took the file, at once: the
// handle shares nothing, so no other program has had it open since.
class HeldForRemoval : public HeldFile {
 public:
  explicit HeldForRemoval(HANDLE file) : file_(file) {}
  bool Remove() override { return MarkForDeletion(file_.Get()); }

 private:
  ScopedHandle file_;
};

}  // namespace

// Asks the name for its attributes and opens it, a link not followed, for
// nothing more than its facts: that open shares with every other and so
// succeeds on any file that is not pending deletion.
FileFacts Win32FileSystem::Look(const std::wstring& path) {
  const FileFacts unknown{FileKind::kUnknown, 0, false};
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileFacts{} : unknown;
  }
  const FileKind kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::kDirectory : FileKind::kFile;
  ScopedHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const bool plain = file.Valid() && CheckHandle(file.Get(), path, true).plain;
  return {kind, attributes, plain};
}

// Writers are shut out while the file is read, so it is read whole as one
// version of itself, and only once the handle is known to be a plain file.
ReadResult Win32FileSystem::ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::kMissing : ReadStatus::kOpenFailed, {}};
  }
  if (!CheckHandle(file.Get(), path, names == Names::kOneOnly).plain) return {ReadStatus::kNotPlain, {}};
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
// included. The attributes are set on the new file's own handle once the
// bytes are written. A file that could not be made whole is taken away
// again, through that handle.
bool Win32FileSystem::CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) {
  ScopedHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get()) &&
                       ((attributes & kSettableAttributes) == 0 || SetAttributesThrough(file.Get(), attributes));
  if (!written) MarkForDeletion(file.Get());
  return file.Close() && written;
}

// ReplaceFileW keeps the replaced file's security descriptor, owner and
// identity, so an ACL an administrator or security software set on it
// stays; a rename would give it the new file's. It has no write-through,
// so the file is flushed afterwards, which commits the rename to the
// journal as well. A `to` that is not there is simply named.
bool Win32FileSystem::Replace(const std::wstring& from, const std::wstring& to) {
  const DWORD target = ::GetFileAttributesW(to.c_str());
  if (target != INVALID_FILE_ATTRIBUTES && (target & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    return false;  // Wine's ReplaceFileW would put a file in a folder's place
  if (!::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    // Not there, or gone halfway: ReplaceFileW that cannot move the new
    // file into place after it moved the old one away leaves `to` missing
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT, and _2 when the old one could not
    // be put back), so the new file is moved there on its own.
    const DWORD error = ::GetLastError();
    const bool mayBeGone = error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
    if (!mayBeGone || ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  ScopedHandle replaced(::CreateFileW(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return replaced.Valid() && ::FlushFileBuffers(replaced.Get());
}

// Windows removes a link it is told to remove; Wine removes the link's
// target. Neither is ever asked to. The folder is resolved once here; a
// listing's removals reuse the folder it checked when it was opened.
bool Win32FileSystem::Remove(const std::wstring& path) {
  const std::optional<std::wstring> folder = FolderFinalPath(path);
  return folder && RemoveOwnName(path, *folder, LastPart(path), LinkCheck::kAskHandle);
}

// Without sharing, the open fails while any other program holds the file,
// for reading too, and no other program can open it until the handle
// goes. A folder does not open without backup semantics. The files held
// so (the record) are never read-only, so the bit is not cleared.
std::unique_ptr<HeldFile> Win32FileSystem::HoldForRemoval(const std::wstring& path) {
  const std::optional<std::wstring> folder = FolderFinalPath(path);
  if (!folder) return nullptr;
  ScopedHandle file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid() || !ReachedAs(file.Get(), *folder, LastPart(path)) || !PlainAttributes(file.Get())) return nullptr;
  return std::make_unique<HeldForRemoval>(file.Release());
}

// Through a link, the attributes would be the target's. Wine may drop a
// bit it cannot store, so the bits are read back.
bool Win32FileSystem::SetAttributes(const std::wstring& path, std::uint32_t attributes) {
  const std::optional<std::wstring> folder = FolderFinalPath(path);
  ScopedHandle file(folder ? OpenOwnName(path, FILE_WRITE_ATTRIBUTES, *folder, LastPart(path)) : nullptr);
  if (!file.Valid() || !PlainAttributes(file.Get()) || !SetAttributesThrough(file.Get(), attributes)) return false;
  const std::optional<DWORD> now = AttributesOf(file.Get());
  return now && (*now & kSettableAttributes) == (attributes & kSettableAttributes);
}

std::unique_ptr<DirectoryEnumeration> Win32FileSystem::Enumerate(const std::wstring& directory) {
  return std::make_unique<FindEnumeration>(directory);
}

std::size_t Win32FileSystem::MaxPathLength() const { return MAX_PATH - 1; }

}  // namespace quietreel::win32
