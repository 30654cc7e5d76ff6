#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace quietreel {

void PurgeDirectory(FileSystem& files, const std::wstring& directory);

}  // namespace quietreel
