#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/RunningImage.h"
#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {

// The folder the running program's file really lies in, fixed at start and
// held open for the whole run so that it cannot be renamed or replaced.
class ProgramFolder {
 public:
  // The folder of the running exe's image; `userToken` is the desktop
  // user's.
  explicit ProgramFolder(HANDLE userToken);
  // The folder of the file `exePath`, which must be the file `image`:
  // anything else, or no `image`, leaves it unfixed.
  ProgramFolder(const std::wstring& exePath, const std::optional<FileId>& image, HANDLE userToken);
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  // False when the folder could not be fixed; its path is empty then.
  bool Fixed() const { return !path_.empty(); }
  // Without a trailing backslash (a drive's root is `C:`).
  const std::wstring& Path() const { return path_; }
  // Whether the desktop user could add, remove or re-permit files there,
  // as the folder's permissions said at start; true when they cannot be
  // read.
  bool UserCanWrite() const { return userCanWrite_; }

 private:
  std::wstring path_;
  bool userCanWrite_ = true;
  ScopedHandle folder_;
};

// A final path as the rest of the program names it: `\\?\C:\x` as `C:\x`,
// `\\?\UNC\server\share\x` as `\\server\share\x`, any other form as it is;
// no trailing backslash.
std::wstring PlainPath(const std::wstring& finalPath);

}  // namespace quietreel::win32
