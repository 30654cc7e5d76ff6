#include "hosts/LockedFile.h"

namespace quietreel {
namespace {

bool ChangeAttributes(FileSystem& files, const std::wstring& path, std::uint32_t add, std::uint32_t remove) {
  const FileFacts facts = files.Look(path);
  if (facts.kind != FileKind::kFile) return false;
  const std::uint32_t wanted = (facts.attributes | add) & ~remove;
  return wanted == facts.attributes || files.SetAttributes(path, wanted);
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

}  // namespace quietreel
