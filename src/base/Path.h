#pragma once

#include <string>
#include <vector>

#include "base/Utf16Length.h"

namespace quietreel {

// Folders are named without a trailing separator, so a join adds one.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
std::wstring WithoutTrailingSeparators(std::wstring path);
bool SameNameIgnoringCase(const std::wstring& left, const std::wstring& right);
bool IsVolumeRoot(const std::wstring& path);
bool IsInsideFolder(const std::wstring& folder, const std::wstring& path);
std::vector<std::wstring> FoldersAlong(const std::wstring& path);

}  // namespace quietreel
