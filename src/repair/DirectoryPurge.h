#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/FileSystem.h"

namespace quietreel {

// Told after each file the purge removed.
using PurgeProgress = std::function<void()>;

void PurgeDirectory(FileSystem& files, const std::wstring& directory, const PurgeProgress& removedFile = {});

}  // namespace quietreel
