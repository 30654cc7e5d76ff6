#pragma once

#include <cstdint>
#include <string>

namespace quietreel::fuzz {

// The block-list scheme read literally, step by step, sharing no shortcut
// with the product's decoder: pairs become one-character strings appended
// up to their first zero (so a pair worth 0 adds nothing), then every
// character is XORed with bits 8-15 of a key that alternates between the
// seed and the seed XOR 0x71A6.
inline std::wstring ReferenceDecode(const std::string& text, int baseChar, int seed) {
  std::wstring paired;
  for (std::size_t i = 0; i < text.size() / 2; ++i) {
    int high = static_cast<unsigned char>(text[2 * i]);
    int low = static_cast<unsigned char>(text[2 * i + 1]);
    int value = (high - baseChar) * 26 + (low - baseChar);
    const wchar_t one[2] = {static_cast<wchar_t>(static_cast<std::uint16_t>(value)), 0};
    paired += one;
  }
  std::wstring out;
  auto key = static_cast<std::uint16_t>(seed);
  for (wchar_t c : paired) {
    out += static_cast<wchar_t>((static_cast<std::uint32_t>(c) & 0xFF) ^ (key >> 8));
    key ^= 0x71A6;
  }
  return out;
}

}  // namespace quietreel::fuzz
