#pragma once

#include <cstdint>

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

// What `attrib +h +r +s` adds and `attrib -h -r -s` takes off.
inline constexpr std::uint32_t kHiddenReadOnlySystem = kAttributeHidden | kAttributeReadOnly | kAttributeSystem;

inline bool IsLink(std::uint32_t attributes) { return (attributes & kAttributeReparsePoint) != 0; }
inline bool IsDirectory(std::uint32_t attributes) { return (attributes & kAttributeDirectory) != 0; }

}  // namespace quietreel
