// Maintainer's tool: checks the plain block list, turns it into core.dat
// and back. The rule is the program's own (hosts/BlockListRules.h), so
// tools/blocklist.py asks this tool rather than keeping a copy of it.
//
//   blockcodec check <plain list>             exit 0 when the list may ship
//   blockcodec encode <plain list> <core.dat>
//   blockcodec decode <core.dat> <plain list>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

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

std::size_t CountLines(std::string_view text, std::string_view wanted) {
  std::size_t count = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t stop = text.find('\n', start);
    if (text.substr(start, stop == std::string_view::npos ? stop : stop - start) == wanted) ++count;
    if (stop == std::string_view::npos) break;
    start = stop + 1;
  }
  return count;
}

// Why the rules refuse `text`, or "" when they accept it. The verdict is the
// rules' own; this only points at the line, so that a person can fix it.
std::string WhyRefused(std::string_view text) {
  if (!quietreel::IsBlockOnlyList(text)) {
    std::size_t number = 1;
    for (std::size_t start = 0; start < text.size(); ++number) {
      const std::size_t stop = text.find('\n', start);
      const std::string_view line = text.substr(start, stop == std::string_view::npos ? stop : stop + 1 - start);
      if (!quietreel::IsBlockOnlyList(line))
        return "line " + std::to_string(number) + " is not blank, a comment nor \"0.0.0.0 host\": " +
               std::string(line.substr(0, line.find('\n')));
      if (stop == std::string_view::npos) break;
      start = stop + 1;
    }
    return "it is over " + std::to_string(quietreel::kMaxBlockListBytes) + " bytes or " +
           std::to_string(quietreel::kMaxBlockListHosts) + " host lines";
  }
  if (!quietreel::IsMarkedBlockList(text)) {
    const std::string begin = quietreel::kSectionBegin, end = quietreel::kSectionEnd;
    return "its first line must be \"" + begin + "\" and its last \"" + end +
           "\", each once and ended by LF (found the first " + std::to_string(CountLines(text, begin)) +
           " times, the last " + std::to_string(CountLines(text, end)) + " times)";
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (!((verb == "check" && argc == 3) || ((verb == "encode" || verb == "decode") && argc == 4))) {
    std::fprintf(stderr, "usage: blockcodec check <plain list> | encode|decode <input> <output>\n");
    return 2;
  }
  std::string input;
  if (!ReadFile(argv[2], input)) {
    std::fprintf(stderr, "blockcodec: cannot read %s\n", argv[2]);
    return 1;
  }
  if (verb != "decode") {
    // The program refuses a list that could do more than block names, and
    // removes from the hosts file exactly what lies between the markers, so
    // a list that breaks either rule is never shipped.
    const std::string why = WhyRefused(input);
    if (!why.empty()) {
      std::fprintf(stderr, "blockcodec: %s cannot ship: %s\n", argv[2], why.c_str());
      return 1;
    }
    if (verb == "check") return 0;
  }
  const std::string output =
      verb == "encode" ? quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, input, quietreel::kBlockListSeed)
                       : quietreel::DecodeBlockList(quietreel::kBlockListBaseChar, input, quietreel::kBlockListSeed);
  if (!WriteFile(argv[3], output)) {
    std::fprintf(stderr, "blockcodec: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
