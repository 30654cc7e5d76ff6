#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace quietreel {

std::wstring FindNamedEntry(FileSystem& files, const std::wstring& start, const std::wstring& name);

}  // namespace quietreel
