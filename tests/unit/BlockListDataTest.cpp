// The plain list that ships: it lands in hosts files of any code page, so it
// must stay plain ASCII hosts syntax.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string ShippedList() {
  std::ifstream in(QUIETREEL_SOURCE_DIR "/data/blocklist.txt", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ShippedBlockList, IsAsciiWithLfLineEndsAndEndsWithALineBreak) {
  const std::string list = ShippedList();
  ASSERT_FALSE(list.empty());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto c = static_cast<unsigned char>(list[i]);
    ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "byte " << int(c) << " at " << i;
  }
  EXPECT_EQ(list.back(), '\n');
}

TEST(ShippedBlockList, EveryEntryRedirectsOneDistinctHostToNowhere) {
  std::istringstream lines(ShippedList());
  std::set<std::string> hosts;
  std::size_t entries = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string address, host, extra;
    fields >> address >> host >> extra;
    EXPECT_EQ(address, "0.0.0.0") << line;
    EXPECT_TRUE(extra.empty()) << line;
    EXPECT_NE(host.find('.'), std::string::npos) << line;
    EXPECT_TRUE(hosts.insert(host).second) << "listed twice: " << host;
    ++entries;
  }
  EXPECT_GE(entries, 50u);
  // The repair looks for this host's Flash storage; blocking it would break
  // the player outright.
  EXPECT_EQ(hosts.count("static.youku.com"), 0u);
}

}  // namespace
