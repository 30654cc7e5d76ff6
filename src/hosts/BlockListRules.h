#pragma once

#include <cstddef>
#include <string_view>

namespace quietreel {

inline constexpr std::size_t kMaxBlockListBytes = 1u << 20;
inline constexpr std::size_t kMaxBlockListHosts = 10000;

// The first and last lines of the shipped list: Block appends the list
// whole, so in the hosts file they mark what Block added.
inline constexpr char kSectionBegin[] = "# BEGIN Quietreel block list";
inline constexpr char kSectionEnd[] = "# END Quietreel block list";

// True when every line of `text` can only block a name: blank, a comment,
// or 0.0.0.0 followed by one host name and maybe a comment.
bool IsBlockOnlyList(std::string_view text);
// True when the list's first line is kSectionBegin and its last line
// kSectionEnd, each with its line break, and neither appears in between.
bool IsMarkedBlockList(std::string_view text);
// Both: what Block may append, and what the build may ship.
bool IsShippableList(std::string_view text);
bool IsHostName(std::string_view name);
// True for one line, without its line break, that blocks a name.
bool BlocksAName(std::string_view line);

}  // namespace quietreel
