#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace quietreel {

bool HideFile(FileSystem& files, const std::wstring& path);
bool UnhideFile(FileSystem& files, const std::wstring& path);

}  // namespace quietreel
