#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel {

// A larger core.dat is refused rather than read.
inline constexpr std::size_t kBlockListSizeLimit = 64u << 20;

// Reads core.dat whole, each byte one character. Tells the user through
// `owner` and returns nothing when the file cannot be read or is empty.
std::optional<std::string> LoadBlockList(const Services& services, Window& owner);

}  // namespace quietreel
