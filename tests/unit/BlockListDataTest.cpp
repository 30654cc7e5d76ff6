// The shipped list and the black-screen repair meet here. The list's form,
// its sources and the hosts it must leave reachable are checked by the
// script that builds it (tools/blocklist.py and its tests); what that script
// cannot know is which host the repair looks after.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "repair/RepairOperations.h"

namespace {

// The repair empties and locks this host's Flash storage so that its player
// starts again; a list that sent the host to 0.0.0.0 would leave that player
// with nothing to load.
TEST(ShippedBlockList, NeverBlocksTheHostTheRepairLooksAfter) {
  const std::wstring wide = quietreel::kVideoSiteStaticHost;
  const std::string repairHost(wide.begin(), wide.end());
  std::ifstream list(QUIETREEL_SOURCE_DIR "/data/blocklist.txt");
  ASSERT_TRUE(list.is_open());
  int hosts = 0;
  for (std::string line; std::getline(list, line);) {
    std::istringstream fields(line);
    std::string address, host;
    fields >> address >> host;
    if (address != "0.0.0.0" && address != "127.0.0.1") continue;
    ++hosts;
    EXPECT_NE(host, repairHost);
  }
  EXPECT_GT(hosts, 0);
}

}  // namespace
