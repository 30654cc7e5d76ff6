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

// One open directory listing; released when the object goes.
class DirectoryEnumeration {
 public:
  virtual ~DirectoryEnumeration() = default;
  // Fills `entry` with the next entry in the file system's own order and
  // returns true, or returns false when the listing is done. "." and ".." are
  // never produced.
  virtual bool Next(FileEntry& entry) = 0;
};

// kNotPlain: a link or other reparse point, or (where one name is asked
// for) a file with more than one name, whose bytes may be someone else's.
enum class ReadStatus { kOk, kOpenFailed, kTooLarge, kReadFailed, kNotPlain };

struct ReadResult {
  ReadStatus status = ReadStatus::kOpenFailed;
  std::string bytes;
};

enum class AppendStatus { kOk, kOpenFailed, kWriteFailed };

// Whether a file read may have other names. Windows keeps second names of
// system files in its component store, so the hosts file may have one.
enum class Names { kOneOnly, kAny };

// What stands at a path itself, without following a link there. kOther is
// a link or other reparse point, or a file with more than one name.
enum class FileKind { kMissing, kFile, kDirectory, kOther };

// The file operations the core decides on. Every write is binary: where the
// program wants CR LF line ends it writes them itself. A write that reports
// success is on disk, so a power cut right after it cannot take it back;
// Remove and SetAttributes promise nothing of the kind.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool Exists(const std::wstring& path) = 0;
  virtual FileKind Kind(const std::wstring& path) = 0;
  virtual bool OpensAsFile(const std::wstring& path) = 0;
  // Reads through one handle, checked to be no link and, with kOneOnly, to
  // have one name.
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
  // Renames `from` to `to`, replacing an existing `to` in one step: `to` is
  // never seen half-written, and the rename is on disk when this returns.
  virtual bool MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool Remove(const std::wstring& path) = 0;
  // Refuses a link: the link would be followed on some systems.
  virtual bool RemoveEmptyDirectory(const std::wstring& path) = 0;
  virtual std::optional<std::uint32_t> Attributes(const std::wstring& path) = 0;
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
