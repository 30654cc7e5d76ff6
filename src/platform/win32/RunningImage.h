#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quietreel::win32 {

// What tells one file from another whatever its names: the volume and the
// file's number on it.
struct FileId {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
};
bool operator==(const FileId& one, const FileId& other);
std::optional<FileId> IdOf(HANDLE file);

// The running exe's full name as Windows recorded it when it mapped the
// image (Vista on), every link on the way then resolved; before Vista, the
// name it was started by, which a junction on the way may since lead
// elsewhere.
std::wstring RunningImageName();

// The file Windows mapped as the running exe, asked of the mapping itself
// rather than of any name a user's program could retarget; nothing when it
// cannot be had.
std::optional<FileId> RunningImageId();

}  // namespace quietreel::win32
