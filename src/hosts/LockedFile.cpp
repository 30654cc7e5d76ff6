#include "hosts/LockedFile.h"

#include <optional>

namespace quietreel {
namespace {

bool ChangeAttributes(FileSystem& files, const std::wstring& path, std::uint32_t add, std::uint32_t remove) {
  std::optional<std::uint32_t> attributes = files.Attributes(path);
  if (!attributes) return false;
  const std::uint32_t wanted = (*attributes | add) & ~remove;
  return wanted == *attributes || files.SetAttributes(path, wanted);
}

}  // namespace

// Hidden, read-only and system, as `attrib +h +r +s` leaves a file: the
// three are added and every other bit stays.
bool HideFile(FileSystem& files, const std::wstring& path) {
  return ChangeAttributes(files, path, kHiddenReadOnlySystem, 0);
}

bool UnhideFile(FileSystem& files, const std::wstring& path) {
  return ChangeAttributes(files, path, 0, kHiddenReadOnlySystem);
}

// Only the read-only bit stops a delete; hidden and system files go as they
// are.
bool RemoveClearingReadOnly(FileSystem& files, const std::wstring& path) {
  ChangeAttributes(files, path, 0, kAttributeReadOnly);
  return files.Remove(path);
}

}  // namespace quietreel
