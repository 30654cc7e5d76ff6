#include "repair/DirectoryPurge.h"

#include "base/Path.h"

namespace quietreel {
namespace {

// Depth first, one open listing per level. Each entry goes through the
// listing of its own directory, which was checked once when it was opened
// and cannot be swapped while open. A subdirectory's own listing is closed
// before the subdirectory is removed, or the removal would be refused. A
// junction or symbolic link leads out of the tree: it is left as it is,
// since some systems act on the target when told to delete a link.
void PurgeTree(FileSystem& files, const std::wstring& directory, const PurgeProgress& removedFile) {
  std::unique_ptr<DirectoryEnumeration> listing = files.Enumerate(directory);
  FileEntry entry;
  while (listing->Next(entry)) {
    if (IsLink(entry.attributes)) continue;
    const std::wstring path = JoinPath(directory, entry.name);
    if (!FitsPlatform(files, path)) continue;
    const bool isDirectory = IsDirectory(entry.attributes);
    if (isDirectory) PurgeTree(files, path, removedFile);
    if (listing->Remove(entry) && !isDirectory && removedFile) removedFile();
  }
}

}  // namespace

// Deletes everything it can below `directory`, then the directory itself,
// and reports nothing: a file that will not go keeps its parents. A drive
// root, an empty path (the current drive's root to the file system) and a
// path that is not a real directory are refused.
void PurgeDirectory(FileSystem& files, const std::wstring& directory, const PurgeProgress& removedFile) {
  if (IsVolumeRoot(directory) || !FitsPlatform(files, directory)) return;
  const FileFacts facts = files.Look(directory);
  if (facts.kind != FileKind::kDirectory || !facts.plain) return;
  PurgeTree(files, directory, removedFile);
  files.Remove(directory);
}

}  // namespace quietreel
