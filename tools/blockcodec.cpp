// Maintainer's tool: turns the plain block list into core.dat and back.
//
//   blockcodec encode <plain list> <core.dat>
//   blockcodec decode <core.dat> <plain list>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "hosts/BlockListCodec.h"
#include "hosts/BlockListRules.h"

namespace {

bool ReadFile(const char* path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const char* path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: blockcodec encode|decode <input> <output>\n");
    return 2;
  }
  const std::string verb = argv[1];
  std::string input;
  if (!ReadFile(argv[2], input)) {
    std::fprintf(stderr, "blockcodec: cannot read %s\n", argv[2]);
    return 1;
  }
  std::string output;
  if (verb == "encode") {
    // The program refuses a list that could do more than block names, so
    // such a list is never shipped.
    if (!quietreel::IsBlockOnlyList(input)) {
      std::fprintf(stderr, "blockcodec: %s has a line that is not blank, a comment or \"0.0.0.0 host\"\n", argv[2]);
      return 1;
    }
    output = quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, input, quietreel::kBlockListSeed);
  } else if (verb == "decode") {
    output = quietreel::DecodeBlockList(quietreel::kBlockListBaseChar, input, quietreel::kBlockListSeed);
  } else {
    std::fprintf(stderr, "blockcodec: unknown verb %s\n", argv[1]);
    return 2;
  }
  if (!WriteFile(argv[3], output)) {
    std::fprintf(stderr, "blockcodec: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
