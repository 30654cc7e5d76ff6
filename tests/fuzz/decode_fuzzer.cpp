// The decoder on any bytes: it never fails, agrees with a literal reading of
// the scheme (pairs, value-0 pairs dropped, alternating key byte), gives the
// same result for narrow and wide input, and its output survives a trip
// through the encoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ReferenceDecode.h"
#include "hosts/BlockListCodec.h"

using quietreel::kBlockListBaseChar;
using quietreel::kBlockListSeed;
using quietreel::fuzz::ReferenceDecode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::wstring decoded = quietreel::DecodeBlockList(kBlockListBaseChar, text, kBlockListSeed);

  FUZZ_CHECK(decoded == ReferenceDecode(text, kBlockListBaseChar, kBlockListSeed));
  FUZZ_CHECK(decoded.size() <= size / 2);

  // Only the low byte of a wide character counts.
  std::wstring wide;
  for (std::size_t i = 0; i < size; ++i)
    wide += static_cast<wchar_t>(((i * 0x3D) & 0xFF00) | data[i]);
  FUZZ_CHECK(quietreel::DecodeBlockList(kBlockListBaseChar, std::wstring_view(wide), kBlockListSeed) == decoded);

  std::string plain;
  for (wchar_t c : decoded) {
    FUZZ_CHECK(static_cast<std::uint32_t>(c) <= 0xFF);
    plain += static_cast<char>(c);
  }
  const std::string encoded = quietreel::EncodeBlockList(kBlockListBaseChar, plain, kBlockListSeed);
  FUZZ_CHECK(encoded.size() == 2 * plain.size());
  for (char c : encoded) {
    const int value = static_cast<unsigned char>(c);
    FUZZ_CHECK(value >= kBlockListBaseChar && value < kBlockListBaseChar + 26);
  }
  FUZZ_CHECK(quietreel::DecodeBlockList(kBlockListBaseChar, encoded, kBlockListSeed) == decoded);
  return 0;
}
