// Which decoded lists the program accepts: only lists that can do nothing
// but block names.
#include <gtest/gtest.h>

#include <string>

#include "hosts/BlockListRules.h"

namespace quietreel {
namespace {

std::string Lines(std::size_t count, const std::string& line) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += line;
  return text;
}

TEST(BlockListRules, OnlyBlankCommentAndBlockingLinesPass) {
  const std::string label63(63, 'a');
  const std::string name253 = label63 + '.' + label63 + '.' + label63 + '.' + std::string(61, 'a');
  const struct {
    std::string text;
    bool blockOnly;
  } rows[] = {
      {"", true},
      {"\n \t\n# comment, even \"odd\" ones!\n", true},
      {"0.0.0.0 ads.example.com\n0.0.0.0\tads.example.com\n", true},
      {"127.0.0.1 www.bank.example\n", false},
      {"0.0.0.0  a-1.b2.example.com \t# why\n0.0.0.0 x.example#tight", true},
      {"  0.0.0.0 indented.example\n", true},
      {"0.0.0.0 " + name253 + "\n", true},
      {Lines(10000, "0.0.0.0 a.example\n") + "# comments do not count\n", true},
      {"6.6.6.6 www.bank.example\n", false},
      {"0.0.0.1 a.example\n", false},
      {"::1 a.example\n", false},
      {"0.0.0.0 a.example b.example\n", false},
      {"0.0.0.0 localhost\n", false},
      {"0.0.0.0 -a.example\n", false},
      {"0.0.0.0 a..example\n", false},
      {"0.0.0.0 a_b.example\n", false},
      {"0.0.0.0 " + name253 + "a\n", false},
      {"0.0.0.0 " + std::string(64, 'a') + ".example\n", false},
      {"0.0.0.0a.example\n", false},
      {"0.0.0.0 a.example\r0.0.0.0 b.example\r", false},
      {"0.0.0.0 a.example\r\r\n", false},
      // The list's line break is LF: the hosts file gets CR LF from it.
      {"0.0.0.0 a.example\r\n", false},
      {"# caf\xC3\xA9\n", false},
      {"# bell \x07\n", false},
      {Lines(10001, "0.0.0.0 a.example\n"), false},
      {"#" + std::string(kMaxBlockListBytes, 'x'), false},
  };
  for (const auto& row : rows) EXPECT_EQ(IsBlockOnlyList(row.text), row.blockOnly) << row.text.substr(0, 60);
}

TEST(BlockListRules, MarkersOpenAndCloseTheListOnceEach) {
  const std::string begin = std::string(kSectionBegin) + "\n", end = std::string(kSectionEnd) + "\n";
  const struct {
    std::string text;
    bool marked;
  } rows[] = {
      {begin + end, true},
      {begin + "# x\n0.0.0.0 a.example\n" + end, true},
      {"", false},
      {"0.0.0.0 a.example\n", false},
      {begin + "0.0.0.0 a.example\n", false},
      {"\n" + begin + end, false},
      {begin + end + "\n", false},
      {begin + std::string(kSectionEnd), false},
      {begin + begin + end, false},
      {begin + end + end, false},
      {begin + "# " + kSectionEnd + "\n" + end, true},
  };
  for (const auto& row : rows) EXPECT_EQ(IsMarkedBlockList(row.text), row.marked) << row.text;
}

}  // namespace
}  // namespace quietreel
