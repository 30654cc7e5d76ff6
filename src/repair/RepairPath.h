#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Utf16Length.h"
#include "platform/FileSystem.h"

namespace quietreel {

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
bool FitsPlatform(const FileSystem& files, const std::wstring& path);
bool SameNameIgnoringCase(const std::wstring& left, const std::wstring& right);
bool IsVolumeRoot(const std::wstring& path);

inline bool IsLink(std::uint32_t attributes) { return (attributes & kAttributeReparsePoint) != 0; }
inline bool IsDirectory(std::uint32_t attributes) { return (attributes & kAttributeDirectory) != 0; }

}  // namespace quietreel
