#pragma once

#include <cstddef>
#include <string_view>

namespace quietreel {

inline constexpr std::size_t kMaxBlockListBytes = 1u << 20;
inline constexpr std::size_t kMaxBlockListHosts = 10000;

// True when every line of `text` can only block a name: blank, a comment,
// or 0.0.0.0 / 127.0.0.1 followed by one host name and maybe a comment.
bool IsBlockOnlyList(std::string_view text);
bool IsHostName(std::string_view name);

}  // namespace quietreel
