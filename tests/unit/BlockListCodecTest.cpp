#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "hosts/BlockListCodec.h"

namespace quietreel {
namespace {

constexpr unsigned char K = kBlockListBaseChar;
constexpr char kEvenKey = 0x2E;  // bits 8-15 of the seed
constexpr char kOddKey = 0x5F;   // bits 8-15 of the seed XOR the step

std::string Pair(int value) { return {static_cast<char>(K + value / 26), static_cast<char>(K + value % 26)}; }

std::string Decode(const std::string& text) { return DecodeBlockList(K, text, kBlockListSeed); }

TEST(BlockListCodec, EveryByteRoundTripsAtBothParities) {
  for (int value = 0; value < 256; ++value) {
    const std::string plain = {static_cast<char>(value), static_cast<char>(value)};
    const std::string scrambled = EncodeBlockList(K, plain, kBlockListSeed);
    ASSERT_EQ(scrambled.size(), 4u);
    for (char c : scrambled) {
      ASSERT_GE(static_cast<unsigned char>(c), K);
      ASSERT_LE(static_cast<unsigned char>(c), K + 25);
    }
    ASSERT_EQ(Decode(scrambled), plain) << "byte " << value;
  }
}

TEST(BlockListCodec, PairOfValueZeroAddsNothingAndShiftsParity) {
  // K,K is worth 0: dropped, so the next pair takes position 0 and the even key.
  EXPECT_EQ(Decode(Pair(0) + Pair(0x41)), std::string(1, 0x41 ^ kEvenKey));
  EXPECT_EQ(Decode(Pair(0x41) + Pair(0) + Pair(0x41)), (std::string{0x41 ^ kEvenKey, 0x41 ^ kOddKey}));
}

TEST(BlockListCodec, PairOfValue256StandsForZero) {
  EXPECT_EQ(Decode(std::string{static_cast<char>(K + 9), static_cast<char>(K + 22)}), std::string(1, kEvenKey));
  // A plain zero is written as that pair, and survives as a zero character.
  EXPECT_EQ(DecodeBlockList(K, EncodeBlockList(K, std::string("a\0b", 3), kBlockListSeed), kBlockListSeed),
            std::string("a\0b", 3));
}

TEST(BlockListCodec, OddLengthDropsTheLastCharacter) {
  const std::string scrambled = EncodeBlockList(K, "hosts", kBlockListSeed);
  EXPECT_EQ(Decode(scrambled + "Z"), "hosts");
  EXPECT_EQ(Decode("Z"), "");
  EXPECT_EQ(Decode(""), "");
}

TEST(BlockListCodec, CharactersOutsideTheAlphabetWrapInsteadOfFailing) {
  // (0 - 77) * 26 + (255 - 77) = -1824, cut to 16 bits 0xF8E0: low byte 0xE0.
  EXPECT_EQ(Decode(std::string{'\0', '\xFF'}), std::string(1, static_cast<char>(0xE0 ^ kEvenKey)));
}

TEST(BlockListCodec, ShippedCoreDatDecodesToTheListInData) {
  auto read = [](const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  const std::string plain = read(QUIETREEL_SOURCE_DIR "/data/blocklist.txt");
  EXPECT_EQ(Decode(read(QUIETREEL_CORE_DAT)), plain);
}

}  // namespace
}  // namespace quietreel
