#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel {

// Two characters of core.dat make one of the list, and the list is at most
// 1 MiB; a larger file is damaged and is not read.
inline constexpr std::size_t kBlockListSizeLimit = 4u << 20;

// Reads, decodes and checks core.dat: the plain list up to its first zero
// character, which can only block names. Tells the user through `owner`
// and returns nothing when the file is missing, cannot be read, is empty or
// is damaged.
std::optional<std::string> LoadBlockList(const Services& services, Window& owner);

}  // namespace quietreel
