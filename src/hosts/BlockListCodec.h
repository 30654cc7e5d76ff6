#pragma once

#include <string>
#include <string_view>

namespace quietreel {

inline constexpr unsigned char kBlockListBaseChar = 77;
inline constexpr int kBlockListSeed = 0x2E0B;

// Each byte of the result is one character of the plain list; the list is
// ASCII, so it needs no code page.
std::string DecodeBlockList(unsigned char baseChar, std::string_view scrambled, int seed);

// The inverse, for the maintainer's tool: every byte of `plain` becomes one
// pair, so the text decodes back to exactly these bytes.
std::string EncodeBlockList(unsigned char baseChar, std::string_view plain, int seed);

}  // namespace quietreel
