#include "repair/NamedEntrySearch.h"

#include <vector>

#include "base/Path.h"

namespace quietreel {

// The first file or directory called `name` (ignoring case) at any depth
// below `start`, as a full path, or empty. Every name of a directory is
// looked at before any of its subdirectories is entered, and those are
// entered in the file system's order: which of several matches wins depends
// on it. Each directory is read once; its listing is closed before the
// search goes deeper. Links are not followed, so a match always lies inside
// the tree, and a link that points back up cannot loop.
std::wstring FindNamedEntry(FileSystem& files, const std::wstring& start, const std::wstring& name) {
  if (start.empty() || name.empty()) return std::wstring();
  std::vector<std::wstring> subdirectories;
  {
    std::unique_ptr<DirectoryEnumeration> listing = files.Enumerate(start);
    FileEntry entry;
    while (listing->Next(entry)) {
      std::wstring path = JoinPath(start, entry.name);
      if (!FitsPlatform(files, path)) continue;
      if (SameNameIgnoringCase(entry.name, name)) return path;
      if (IsDirectory(entry.attributes) && !IsLink(entry.attributes)) subdirectories.push_back(std::move(path));
    }
  }
  for (const std::wstring& subdirectory : subdirectories) {
    std::wstring found = FindNamedEntry(files, subdirectory, name);
    if (!found.empty()) return found;
  }
  return std::wstring();
}

}  // namespace quietreel
