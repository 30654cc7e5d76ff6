#include "repair/DirectoryPurge.h"

#include <optional>

#include "repair/RepairPath.h"

namespace quietreel {
namespace {

void PurgeEntry(FileSystem& files, const std::wstring& path, std::uint32_t attributes);

// Depth first, one open listing per level. The listing is closed before its
// directory is removed, or the removal would be refused.
void PurgeTree(FileSystem& files, const std::wstring& directory) {
  {
    std::unique_ptr<DirectoryEnumeration> listing = files.Enumerate(directory);
    FileEntry entry;
    while (listing->Next(entry)) {
      const std::wstring path = JoinPath(directory, entry.name);
      if (FitsPlatform(files, path)) PurgeEntry(files, path, entry.attributes);
    }
  }
  files.RemoveEmptyDirectory(directory);
}

// Only the read-only bit stops DeleteFileW; hidden and system files go as
// they are.
void RemoveFile(FileSystem& files, const std::wstring& path, std::uint32_t attributes) {
  if (attributes & kAttributeReadOnly) {
    if (std::optional<std::uint32_t> current = files.Attributes(path))
      files.SetAttributes(path, *current & ~kAttributeReadOnly);
  }
  files.Remove(path);
}

// A junction or symbolic link leads out of the tree: the link goes, what it
// points at stays. Its attributes are not touched either, since setting them
// would reach through to the target.
void PurgeEntry(FileSystem& files, const std::wstring& path, std::uint32_t attributes) {
  if (IsLink(attributes)) {
    if (IsDirectory(attributes)) {
      files.RemoveEmptyDirectory(path);
    } else {
      files.Remove(path);
    }
  } else if (IsDirectory(attributes)) {
    PurgeTree(files, path);
  } else {
    RemoveFile(files, path, attributes);
  }
}

}  // namespace

// Deletes everything it can below `directory`, then the directory itself,
// and reports nothing: a file that will not go keeps its parents. A drive
// root, an empty path (the current drive's root to the file system) and a
// path that is not a directory are refused.
void PurgeDirectory(FileSystem& files, const std::wstring& directory) {
  if (IsVolumeRoot(directory) || !FitsPlatform(files, directory)) return;
  std::optional<std::uint32_t> attributes = files.Attributes(directory);
  if (attributes && IsDirectory(*attributes)) PurgeEntry(files, directory, *attributes);
}

}  // namespace quietreel
