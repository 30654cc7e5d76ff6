#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/FileAttributes.h"
#include "base/Utf16Length.h"

namespace quietreel {

struct FileEntry {
  std::wstring name;
  std::uint32_t attributes = 0;
};

// One open directory listing; released when the object goes. While it is
// open the directory cannot be renamed, replaced or deleted.
class DirectoryEnumeration {
 public:
  virtual ~DirectoryEnumeration() = default;
  // Fills `entry` with the next entry in the file system's own order and
  // returns true, or returns false when the listing is done. "." and ".." are
  // never produced.
  virtual bool Next(FileEntry& entry) = 0;
  // Removes an entry this listing produced, as FileSystem::Remove does; the
  // directory itself was checked once, when it was opened. An entry listed
  // as a link is refused.
  virtual bool Remove(const FileEntry& entry) = 0;
};

// A file taken for removal. To use it: 1) FileSystem::HoldForRemoval takes
// it, opened for deletion with no sharing, so that no other program can open
// it while it is held; 2) Remove deletes it through that handle, or
// dropping the object leaves it as it was.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  virtual bool Remove() = 0;
};

// kUnknown: the system will not say what has the name (a file pending
// deletion, a failed call); it may well be there.
enum class FileKind { kMissing, kFile, kDirectory, kUnknown };

// What stands at a path itself, a link there not followed.
struct FileFacts {
  FileKind kind = FileKind::kMissing;
  std::uint32_t attributes = 0;
  // False for a link or other reparse point, for a file with a second name
  // (its bytes may be someone else's), and for kUnknown.
  bool plain = true;
};

// kNotPlain: a link or other reparse point, or (where one name is asked
// for) a file with more than one name.
enum class ReadStatus { kOk, kMissing, kOpenFailed, kTooLarge, kReadFailed, kNotPlain };

struct ReadResult {
  ReadStatus status = ReadStatus::kOpenFailed;
  std::string bytes;
};

enum class AppendStatus { kOk, kOpenFailed, kWriteFailed };

// Whether a file read may have other names. Windows keeps second names of
// system files in its component store, so the hosts file may have one.
enum class Names { kOneOnly, kAny };

// The file operations the core decides on. Paths name folders without a
// trailing separator. Every write is binary: where the program wants CR LF
// line ends it writes them itself. A write that reports success is on disk,
// so a power cut right after it cannot take it back; Remove and
// SetAttributes promise nothing of the kind.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual FileFacts Look(const std::wstring& path) = 0;
  // Reads through one handle, checked to be no link and, with kOneOnly, to
  // have one name; writers are shut out meanwhile.
  virtual ReadResult ReadWhole(const std::wstring& path, std::size_t maxBytes, Names names) = 0;
  // The last `count` bytes (fewer when the file is shorter), or nothing when
  // the file cannot be read.
  virtual std::optional<std::string> ReadTail(const std::wstring& path, std::size_t count) = 0;
  // kOk: the bytes are on disk.
  virtual AppendStatus Append(const std::wstring& path, const std::string& bytes, bool createIfMissing) = 0;
  // Makes a new file with these attributes and bytes. Fails when anything,
  // a link included, already has the name, so nothing is ever written
  // through a name someone put there. True: the bytes are on disk.
  virtual bool CreateNew(const std::wstring& path, const std::string& bytes, std::uint32_t attributes) = 0;
  // Puts `from` in the place of the file `to` in one step: `to` is never seen
  // half-written, keeps its own security settings and attributes, and the
  // change is on disk when this returns. `to` must exist.
  virtual bool Replace(const std::wstring& from, const std::wstring& to) = 0;
  // Removes a file (read-only or not) or an empty directory through one
  // handle: the name is opened without following a link, that handle is
  // checked to be no link, and the removal goes through it. A link is
  // refused. A file another program holds open, sharing deletion, keeps its
  // name until it is closed.
  virtual bool Remove(const std::wstring& path) = 0;
  // Null when nothing is there, when it is a link or a folder, or when
  // another program has it open, however it shares.
  virtual std::unique_ptr<HeldFile> HoldForRemoval(const std::wstring& path) = 0;
  // Refuses a link: the attributes would land on its target.
  virtual bool SetAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
  // A directory is listed only when, opened just now, it is a real one: a
  // link or other reparse point lists nothing, so no walk ever leaves the
  // tree it was given.
  virtual std::unique_ptr<DirectoryEnumeration> Enumerate(const std::wstring& directory) = 0;
  // The longest path, in characters, that the platform accepts.
  virtual std::size_t MaxPathLength() const = 0;
};

// A longer path would be cut short by the platform, and a cut path names
// another file: such paths are skipped, never used.
inline bool FitsPlatform(const FileSystem& files, const std::wstring& path) {
  return Utf16Length(path) <= files.MaxPathLength();
}

}  // namespace quietreel
