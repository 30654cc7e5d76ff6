#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quietreel::win32 {

// The full name of what a handle reached, every link on the way followed;
// nothing when it cannot be had. Windows before Vista cannot name a handle
// at all (CanNameHandles), and has no links to files either.
bool CanNameHandles();
std::optional<std::wstring> FinalPath(HANDLE handle);

// A handle checked to be plain: no reparse point, reached by its own name
// and, when asked, a file with one name. `finalPath` is what it reached,
// empty where the system cannot say.
struct CheckedHandle {
  bool plain = false;
  std::wstring finalPath;
};
CheckedHandle CheckHandle(HANDLE handle, const std::wstring& path, bool oneNameOnly);

// True when `handle` reached exactly `name` inside the folder whose full
// name is `folderFinalPath`, or when the system cannot name handles.
bool ReachedAs(HANDLE handle, const std::wstring& folderFinalPath, const std::wstring& name);

// The full name of the folder that `path` names its last part in: empty
// where the system cannot name handles, nothing when it cannot be had.
std::optional<std::wstring> FolderFinalPath(const std::wstring& path);
std::wstring LastPart(const std::wstring& path);

}  // namespace quietreel::win32
