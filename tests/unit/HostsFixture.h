#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Expected.h"
#include "fake/FakeWindows.h"
#include "base/Sha256.h"
#include "hosts/BackupRecord.h"
#include "hosts/BlockListCodec.h"
#include "hosts/BlockListRules.h"
#include "hosts/HostsBlocker.h"

namespace quietreel::testing {

enum class HostsState { kClean, kBlocked, kNoHosts, kOrphaned };

inline const char* StateName(HostsState state) {
  switch (state) {
    case HostsState::kClean:
      return "Clean";
    case HostsState::kBlocked:
      return "Blocked";
    case HostsState::kNoHosts:
      return "NoHosts";
    case HostsState::kOrphaned:
      return "Orphaned";
  }
  return "?";
}

inline constexpr HostsState kAllStates[] = {HostsState::kClean, HostsState::kBlocked, HostsState::kNoHosts,
                                            HostsState::kOrphaned};

inline std::string Encoded(const std::string& plain) {
  return EncodeBlockList(kBlockListBaseChar, plain, kBlockListSeed);
}

// A machine with core.dat in the program folder and the hosts file and
// `backup` set up for one of the four states.
class HostsMachine {
 public:
  static constexpr char kUserHosts[] = "127.0.0.1 localhost\r\n10.0.0.5 nas.home\r\n";
  // As shipped: between the two lines that mark Block's section.
  static constexpr char kList[] =
      "# BEGIN Quietreel block list\n# ads\n0.0.0.0 atm.youku.com\n0.0.0.0 afp.iqiyi.com\n# END Quietreel block list\n";
  static constexpr char kListOnDisk[] =
      "# BEGIN Quietreel block list\r\n# ads\r\n0.0.0.0 atm.youku.com\r\n0.0.0.0 afp.iqiyi.com\r\n"
      "# END Quietreel block list\r\n";
  // As lists were shipped before they were marked.
  static constexpr char kUnmarkedListOnDisk[] = "# ads\r\n0.0.0.0 atm.youku.com\r\n0.0.0.0 afp.iqiyi.com\r\n";

  HostsMachine() {
    ShipList(kList);
    services.shippedListSha256 = Sha256Hex(Encoded(kList));
  }

  void ShipList(const std::string& plain) { machine.AddFile(coreDat, Encoded(plain)); }

  // Blocked and Orphaned look as a Block left them: the hosts file hidden,
  // read-only and system, `backup` holding the user's old file, and the
  // record of it beside the hosts file.
  void Enter(HostsState state, const std::string& userHosts = kUserHosts) {
    if (state == HostsState::kClean) machine.AddFile(hosts, userHosts);
    if (state == HostsState::kBlocked) machine.AddFile(hosts, userHosts + kListOnDisk, expected::kHiddenReadOnlySystem);
    if (state == HostsState::kBlocked || state == HostsState::kOrphaned) {
      machine.AddFile(backup, userHosts);
      machine.AddFile(record, RecordText({DigestOf(userHosts), false, DigestOf(userHosts + kListOnDisk)}));
    }
  }

  static std::string Marker() { return std::string(expected::kMarker, expected::kMarkerSize); }

  fake::FakeWindows machine;
  fake::FakeWindow owner;
  Services services = machine.MakeServices();
  const std::wstring hosts = fake::FakeWindows::kHostsPath;
  const std::wstring scratch = hosts + L".quietreel";
  const std::wstring record = L"C:\\WINDOWS\\system32\\drivers\\etc\\quietreel-backup.txt";
  const std::wstring backup = fake::FakeWindows::kProgramDirectory + L"\\backup";
  const std::wstring coreDat = fake::FakeWindows::kProgramDirectory + L"\\core.dat";
};

}  // namespace quietreel::testing
