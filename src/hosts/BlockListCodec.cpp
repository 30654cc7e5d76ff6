#include "hosts/BlockListCodec.h"

#include <cstdint>

namespace quietreel {
namespace {

constexpr std::uint16_t kStepConstant = 0x71A6;

// The key byte for position i of the paired text: bits 8-15 of the running
// key, which alternates between the seed and the seed XOR the step.
unsigned char KeyByte(std::size_t position, int seed) {
  auto key = static_cast<std::uint16_t>(seed);
  if (position % 2 == 1) key ^= kStepConstant;
  return static_cast<unsigned char>(key >> 8);
}

}  // namespace

std::string DecodeBlockList(unsigned char baseChar, std::string_view scrambled, int seed) {
  std::string out;
  out.reserve(scrambled.size() / 2);
  for (std::size_t i = 0; i + 1 < scrambled.size(); i += 2) {
    int high = static_cast<unsigned char>(scrambled[i]) - baseChar;
    int low = static_cast<unsigned char>(scrambled[i + 1]) - baseChar;
    auto value = static_cast<std::uint16_t>(high * 26 + low);
    // A pair worth exactly zero adds no character; the next pair takes its
    // place, and with it the place's key byte.
    if (value == 0) continue;
    out += static_cast<char>((value & 0xFF) ^ KeyByte(out.size(), seed));
  }
  return out;
}

std::string EncodeBlockList(unsigned char baseChar, std::string_view plain, int seed) {
  std::string out;
  out.reserve(plain.size() * 2);
  for (std::size_t i = 0; i < plain.size(); ++i) {
    // 0 cannot be written as the pair of value 0 (it would vanish), so it
    // is written as 256, whose low byte is 0.
    int value = static_cast<unsigned char>(plain[i]) ^ KeyByte(i, seed);
    if (value == 0) value = 256;
    out += static_cast<char>(baseChar + value / 26);
    out += static_cast<char>(baseChar + value % 26);
  }
  return out;
}

}  // namespace quietreel
