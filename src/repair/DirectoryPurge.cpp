#include "repair/DirectoryPurge.h"

#include <optional>

#include "base/Path.h"
#include "hosts/LockedFile.h"

namespace quietreel {
namespace {

void PurgeEntry(FileSystem& files, const std::wstring& path, std::uint32_t attributes);

// Depth first, one open listing per level. The listing is closed before its
// directory is removed, or the removal would be refused. A directory swapped
// for a link after it was listed lists nothing and is not removed.
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

// A junction or symbolic link leads out of the tree: it is left as it is,
// since some systems act on the target when told to delete a link, and its
// attributes would reach through to the target too.
void PurgeEntry(FileSystem& files, const std::wstring& path, std::uint32_t attributes) {
  if (IsLink(attributes)) return;
  if (IsDirectory(attributes)) {
    PurgeTree(files, path);
  } else if (attributes & kAttributeReadOnly) {
    RemoveClearingReadOnly(files, path);
  } else {
    files.Remove(path);
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
