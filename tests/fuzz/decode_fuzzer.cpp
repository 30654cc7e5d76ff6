// The decoder on any bytes: it never fails, agrees with a literal reading of
// the scheme (pairs, value-0 pairs dropped, alternating key byte), and its
// output survives a trip through the encoder.
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
  const std::string decoded = quietreel::DecodeBlockList(kBlockListBaseChar, text, kBlockListSeed);
  const std::wstring reference = ReferenceDecode(text, kBlockListBaseChar, kBlockListSeed);

  FUZZ_CHECK(decoded.size() == reference.size());
  for (std::size_t i = 0; i < decoded.size() && i < reference.size(); ++i)
    FUZZ_CHECK(static_cast<unsigned char>(decoded[i]) == static_cast<std::uint32_t>(reference[i]));
  FUZZ_CHECK(decoded.size() <= size / 2);

  const std::string& plain = decoded;
  const std::string encoded = quietreel::EncodeBlockList(kBlockListBaseChar, plain, kBlockListSeed);
  FUZZ_CHECK(encoded.size() == 2 * plain.size());
  for (char c : encoded) {
    const int value = static_cast<unsigned char>(c);
    FUZZ_CHECK(value >= kBlockListBaseChar && value < kBlockListBaseChar + 26);
  }
  FUZZ_CHECK(quietreel::DecodeBlockList(kBlockListBaseChar, encoded, kBlockListSeed) == decoded);
  return 0;
}
