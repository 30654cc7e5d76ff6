#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quietreel {

// File attribute bits, with the values Windows gives them.
enum FileAttribute : std::uint32_t {
  kAttributeReadOnly = 0x1,
  kAttributeHidden = 0x2,
  kAttributeSystem = 0x4,
  kAttributeDirectory = 0x10,
  // Set by the file system on every file it creates or writes.
  kAttributeArchive = 0x20,
  kAttributeReparsePoint = 0x400,
};

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

enum class ReadStatus { kOk, kOpenFailed, kTooLarge, kReadFailed };

struct ReadResult {
  ReadStatus status = ReadStatus::kOpenFailed;
  std::string bytes;
};

enum class AppendStatus { kOk, kOpenFailed, kWriteFailed };

// The file operations the core decides on. Every write is binary: where the
// program wants CR LF line ends it writes them itself. A write that reports
// success is on disk, so a power cut right after it cannot take it back;
// Remove and SetAttributes promise nothing of the kind.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool Exists(const std::wstring& path) = 0;
  virtual bool OpensAsFile(const std::wstring& path) = 0;
  virtual ReadResult ReadWhole(const std::wstring& path, std::size_t maxBytes) = 0;
  // The last `count` bytes (fewer when the file is shorter), or nothing when
  // the file cannot be read.
  virtual std::optional<std::string> ReadTail(const std::wstring& path, std::size_t count) = 0;
  // kOk: the bytes are on disk.
  virtual AppendStatus Append(const std::wstring& path, const std::string& bytes,
                              bool createIfMissing) = 0;
  // True: the bytes are on disk.
  virtual bool CreateWithBytes(const std::wstring& path, const std::string& bytes) = 0;
  // Overwrites an existing `to`, which takes `from`'s attributes. True: the
  // copy's bytes are on disk.
  virtual bool Copy(const std::wstring& from, const std::wstring& to) = 0;
  // Renames `from` to `to`, replacing an existing `to` in one step: `to` is
  // never seen half-written, and the rename is on disk when this returns.
  virtual bool MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool Remove(const std::wstring& path) = 0;
  virtual bool RemoveEmptyDirectory(const std::wstring& path) = 0;
  virtual std::optional<std::uint32_t> Attributes(const std::wstring& path) = 0;
  virtual bool SetAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
  virtual std::unique_ptr<DirectoryEnumeration> Enumerate(const std::wstring& directory) = 0;
  // The longest path, in characters, that the platform accepts.
  virtual std::size_t MaxPathLength() const = 0;
};

}  // namespace quietreel
