// The plain list that ships: it lands in hosts files of any code page, so it
// must stay plain ASCII hosts syntax, and every entry must be a host that is
// safe to send to 0.0.0.0.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string SourceFile(const std::string& relative) {
  std::ifstream in(QUIETREEL_SOURCE_DIR "/" + relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ShippedList() { return SourceFile("data/blocklist.txt"); }

// RFC 1123: labels of 1 to 63 letters, digits and hyphens, no hyphen at either
// end of a label, 253 characters in all.
bool IsHostName(const std::string& host) {
  if (host.empty() || host.size() > 253) return false;
  for (std::size_t start = 0;;) {
    const std::size_t dot = host.find('.', start);
    const std::string label = host.substr(start, dot == std::string::npos ? dot : dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
    for (unsigned char c : label) {
      if (!std::isalnum(c) && c != '-') return false;
    }
    if (dot == std::string::npos) return true;
    start = dot + 1;
  }
}

// The hosts that public allowlists and issue threads keep reachable.
std::set<std::string> KeepReachable() {
  std::istringstream lines(SourceFile("data/keep-reachable.txt"));
  std::set<std::string> hosts;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] != '#') hosts.insert(line);
  }
  return hosts;
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

TEST(ShippedBlockList, HostNameRuleTellsGoodNamesFromBad) {
  const std::string label63(63, 'a');
  const std::string name253 = label63 + '.' + label63 + '.' + label63 + '.' + std::string(61, 'a');
  const struct {
    std::string host;
    bool valid;
  } cases[] = {
      {"atm.youku.com", true}, {"x1.da.hunantv.com", true}, {"xtrader-mipdx.cn.miaozhen.com", true},
      {label63 + ".cn", true}, {name253, true},                {"-ad.qq.com", false},
      {"ad-.qq.com", false},   {"ad..qq.com", false},          {"ad.qq.com.", false},
      {"ad_1.qq.com", false},  {label63 + "a.cn", false},      {name253 + "a", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsHostName(c.host), c.valid) << '"' << c.host << '"';
}

TEST(ShippedBlockList, EveryEntryIsASourcedDistinctHostThatMayBeBlocked) {
  const std::set<std::string> keep = KeepReachable();
  ASSERT_GE(keep.size(), 4u);
  for (const std::string& host : keep) EXPECT_TRUE(IsHostName(host)) << "keep-reachable: " << host;
  // The repair looks for this host's Flash storage; blocking it would break
  // the player outright.
  EXPECT_EQ(keep.count("static.youku.com"), 1u);

  std::istringstream lines(ShippedList());
  std::set<std::string> hosts;
  bool inGroup = false, sourced = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("# ==", 0) == 0) {
      inGroup = true;
      sourced = false;
      continue;
    }
    if (line.rfind("# Sources", 0) == 0) sourced = inGroup;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string address, host, extra;
    fields >> address >> host >> extra;
    EXPECT_EQ(address, "0.0.0.0") << line;
    EXPECT_TRUE(extra.empty()) << line;
    EXPECT_TRUE(IsHostName(host) && host.find('.') != std::string::npos) << line;
    EXPECT_TRUE(sourced) << "no source line above " << host;
    EXPECT_TRUE(hosts.insert(host).second) << "listed twice: " << host;
    EXPECT_EQ(keep.count(host), 0u) << host << " is on data/keep-reachable.txt";
    for (const char* kind : {"httpdns", "p2p", "danmu", "danmaku"}) {
      EXPECT_EQ(host.find(kind), std::string::npos) << host << " looks like a " << kind << " host";
    }
  }
  // Windows' DNS client slows down on a very large hosts file.
  EXPECT_GE(hosts.size(), 50u);
  EXPECT_LE(hosts.size(), 400u);
}

}  // namespace
