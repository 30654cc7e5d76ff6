// Makes each platform call of Block, Restore and Reset fail in turn, from each
// state, and checks that the user's hosts file survives and that no success
// is claimed for work that did not happen. Then cuts the power after each
// call and checks the same of what the disk kept, and of a Restore after it.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "HostsFixture.h"

namespace quietreel {
namespace {

using testing::HostsMachine;
using testing::HostsState;

using Operation = std::function<void(const Services&, Window&)>;

struct NamedOperation {
  const char* name;
  Operation run;
  const wchar_t* successText;
};

const NamedOperation kOperations[] = {
    {"Block", Block, L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！"},
    {"Restore", Restore, L"解除广告屏蔽成功，请重启浏览器查看效果！"},
    {"Reset", Reset, L"重置成功，请按帮助说明里步骤重新屏蔽广告！"},
};

std::optional<std::string> Contents(HostsMachine& m, const std::wstring& path) {
  if (!m.machine.Exists(path)) return std::nullopt;
  return m.machine.BytesOf(path);
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }
bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// What a run leaves behind: the hosts file (when a replacement broke off
// halfway, the copy the next start puts in its place), `backup` and
// whether the record is there.
struct Result {
  std::optional<std::string> hosts;
  std::optional<std::string> backup;
  std::optional<std::string> record;
  bool claimedSuccess = false;
};

Result RunWithFault(const NamedOperation& op, HostsState state, std::size_t failingCall, std::string* failedCallName,
                    bool replaceBreaksHalfway = false) {
  HostsMachine m;
  m.Enter(state);
  m.machine.ResetCounters();
  m.machine.FailCall(failingCall);
  m.machine.SetReplaceBreaksHalfway(replaceBreaksHalfway);
  op.run(m.services, m.owner);
  if (failedCallName && failingCall > 0) *failedCallName = m.machine.CallLog().at(failingCall - 1);
  const std::optional<std::string> hosts = Contents(m, m.hosts);
  Result result{hosts ? hosts : Contents(m, m.scratch), Contents(m, m.backup), Contents(m, m.record), false};
  for (const auto& box : m.owner.Boxes()) result.claimedSuccess |= box.text == op.successText;
  return result;
}

std::size_t CallsMade(const NamedOperation& op, HostsState state, const char* failing = nullptr) {
  HostsMachine m;
  m.Enter(state);
  m.machine.ResetCounters();
  if (failing) m.machine.FailNext(failing);
  op.run(m.services, m.owner);
  return m.machine.FallibleCalls();
}

// The hosts file's content before the operation, or the marker standing for
// its absence.
std::string HostsBefore(HostsState state) {
  HostsMachine m;
  m.Enter(state);
  auto hosts = Contents(m, m.hosts);
  return hosts ? *hosts : HostsMachine::Marker();
}

std::optional<std::string> BackupBefore(HostsState state) {
  HostsMachine m;
  m.Enter(state);
  return Contents(m, m.backup);
}

void CheckBlock(HostsState state, const Result& r, const std::string& where) {
  const std::string before = HostsBefore(state);
  const bool hadHosts = state == HostsState::kClean || state == HostsState::kBlocked;
  const bool hostsUntouched = hadHosts ? r.hosts == before : !r.hosts;
  EXPECT_TRUE(hostsUntouched || r.backup == before) << where << ": the old hosts file is neither in place nor saved";
  if (r.claimedSuccess) {
    ASSERT_TRUE(r.hosts) << where;
    EXPECT_TRUE(EndsWith(*r.hosts, HostsMachine::kListOnDisk)) << where << ": success without the list";
    EXPECT_TRUE(!hadHosts || StartsWith(*r.hosts, before)) << where;
    EXPECT_EQ(r.backup, before) << where << ": success without the way back";
    const std::optional<BackupRecord> record = r.record ? ParseRecord(*r.record) : std::nullopt;
    EXPECT_TRUE(record && Matches(record->backup, before)) << where << ": success without the record of the way back";
  }
}

void CheckRestore(HostsState state, const Result& r, const std::string& where) {
  const std::optional<std::string> saved = BackupBefore(state);
  HostsMachine m;
  m.Enter(state);
  const std::optional<std::string> hostsBefore = Contents(m, m.hosts);
  EXPECT_TRUE(r.hosts == hostsBefore || r.hosts == saved) << where << ": the hosts file was left half-written";
  if (saved) {
    EXPECT_TRUE(r.hosts == saved || r.backup == saved) << where << ": the saved file is lost";
  }
  if (r.claimedSuccess) {
    EXPECT_EQ(r.hosts, saved) << where;
    EXPECT_FALSE(r.record) << where << ": success, and the record could vouch for a copy of backup later";
  }
}

void CheckReset(HostsState state, const Result& r, const std::string& where) {
  EXPECT_EQ(r.backup, BackupBefore(state)) << where << ": Reset touched backup";
  if (r.claimedSuccess) {
    EXPECT_FALSE(r.hosts) << where << ": success but the hosts file is still there";
  }
}

TEST(HostsFaultSweep, EverySingleFailingCallKeepsTheUsersHostsFile) {
  std::size_t sweeps = 0;
  for (const NamedOperation& op : kOperations) {
    for (HostsState state : testing::kAllStates) {
      const std::size_t calls = CallsMade(op, state);
      for (std::size_t k = 1; k <= calls; ++k) {
        for (bool halfway : {false, true}) {
          std::string failed;
          const Result r = RunWithFault(op, state, k, &failed, halfway);
          if (halfway && failed.compare(0, 8, "Replace ") != 0) continue;
          const std::string where = std::string(op.name) + " from " + testing::StateName(state) + ", failing " +
                                    failed + (halfway ? " halfway" : "");
          if (op.name == std::string("Block")) CheckBlock(state, r, where);
          if (op.name == std::string("Restore")) CheckRestore(state, r, where);
          if (op.name == std::string("Reset")) CheckReset(state, r, where);
          ++sweeps;
        }
      }
    }
  }
  EXPECT_GE(sweeps, 30u) << "the sweep should reach every call of every operation";
}

TEST(HostsFaultSweep, WithoutFaultsEveryOperationSucceedsWhereItCan) {
  EXPECT_TRUE(RunWithFault(kOperations[0], HostsState::kClean, 0, nullptr).claimedSuccess);
  EXPECT_TRUE(RunWithFault(kOperations[0], HostsState::kNoHosts, 0, nullptr).claimedSuccess);
  EXPECT_TRUE(RunWithFault(kOperations[1], HostsState::kBlocked, 0, nullptr).claimedSuccess);
  EXPECT_TRUE(RunWithFault(kOperations[2], HostsState::kClean, 0, nullptr).claimedSuccess);
}

// --- Power cuts ------------------------------------------------------------

using Data = fake::FakeWindows::UnflushedData;
using Journal = fake::FakeWindows::Journal;

struct CrashCase {
  const NamedOperation* op;
  HostsState state;
  const char* failing;  // a call that breaks off halfway before the cut, or none
};

std::vector<CrashCase> CrashCases() {
  std::vector<CrashCase> cases;
  for (const NamedOperation& op : kOperations)
    for (HostsState state : testing::kAllStates) cases.push_back({&op, state, nullptr});
  cases.push_back({&kOperations[0], HostsState::kClean, "Append"});  // the halfway-write rollback
  return cases;
}

// The user's entries are in the hosts file or in `backup`.
bool Kept(HostsMachine& m, const std::string& user) {
  const auto hosts = Contents(m, m.hosts);
  return user.empty() || hosts == user || hosts == user + HostsMachine::kListOnDisk || Contents(m, m.backup) == user;
}

// The user's entries when the operation, run to its end, keeps them; a cut
// must not lose them. Reset from Clean and Block from Orphaned let them go.
std::string UserEntries(const CrashCase& c) {
  HostsMachine m;
  m.Enter(c.state);
  if (c.failing) m.machine.FailNext(c.failing);
  c.op->run(m.services, m.owner);
  return Kept(m, HostsMachine::kUserHosts) ? HostsMachine::kUserHosts : "";
}

// Absent, or one of the files the program writes on purpose.
bool Whole(const std::optional<std::string>& hosts) {
  const std::string user = HostsMachine::kUserHosts, list = HostsMachine::kListOnDisk;
  return !hosts || *hosts == user || *hosts == user + list || *hosts == list || *hosts == HostsMachine::Marker();
}

TEST(HostsCrashSweep, APowerCutAfterAnyCallKeepsTheUsersEntriesAndRestoreNeverDamagesHosts) {
  std::size_t points = 0;
  for (const CrashCase& c : CrashCases()) {
    const std::string user = UserEntries(c);
    const std::size_t calls = CallsMade(*c.op, c.state, c.failing);
    for (std::size_t k = 1; k <= calls; ++k, ++points) {
      for (Data data : {Data::kLost, Data::kZeroed}) {
        for (Journal journal : {Journal::kKept, Journal::kRolledBack}) {
          HostsMachine m;
          m.Enter(c.state);
          m.machine.ResetCounters();
          if (c.failing) m.machine.FailNext(c.failing);
          m.machine.CrashAfterCall(k);
          c.op->run(m.services, m.owner);
          const std::string where = std::string(c.op->name) + " from " + testing::StateName(c.state) +
                                    (c.failing ? std::string(", ") + c.failing + " breaking off" : "") +
                                    ", cut after " + m.machine.CallLog().at(k - 1) +
                                    (data == Data::kLost ? ", data lost" : ", data zeroed") +
                                    (journal == Journal::kKept ? ", journal kept" : ", journal rolled back");
          m.machine.Reboot(data, journal);
          EXPECT_TRUE(Kept(m, user)) << where << ": the user's entries are lost";
          const std::optional<std::string> afterCut = Contents(m, m.hosts);
          EXPECT_TRUE(Whole(afterCut) || (c.failing && Contents(m, m.backup) == user))
              << where << ": the hosts file is damaged";
          m.machine.ResetCounters();
          Restore(m.services, m.owner);
          EXPECT_TRUE(Kept(m, user)) << where << ", then Restore: the user's entries are lost";
          EXPECT_TRUE(Whole(Contents(m, m.hosts)) || Contents(m, m.hosts) == afterCut)
              << where << ", then Restore: a damaged copy replaced hosts";
        }
      }
    }
  }
  EXPECT_GE(points, 40u) << "the sweep should cut the power after every call of every operation";
}

}  // namespace
}  // namespace quietreel
