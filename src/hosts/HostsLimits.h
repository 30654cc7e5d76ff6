#pragma once

#include <cstddef>

namespace quietreel {

// A hosts file larger than this is not one the program can save and put
// back in one piece.
inline constexpr std::size_t kHostsSizeLimit = 64u << 20;
inline constexpr std::size_t kRecordSizeLimit = 4096;

}  // namespace quietreel
