// What Block, Restore and Reset decide, one row a case: what was read (the
// hosts file, `backup`, the record, the list), then what the user is told
// and what the plan writes into the hosts file.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "HostsFixture.h"
#include "hosts/HostsPlan.h"

namespace quietreel {
namespace {

using testing::HostsMachine;
namespace text = expected;
using std::nullopt;
using Opt = std::optional<std::string>;

const std::string U = HostsMachine::kUserHosts;
const std::string L = HostsMachine::kListOnDisk;
const std::string kList = HostsMachine::kList;
const std::string kMarker = HostsMachine::Marker();
const std::string kIntranet = "10.0.0.5 intranet.corp.example\r\n";
const std::string kC2 = "0.0.0.0 c2.malware.example\r\n";
const std::string kLocalhost = "127.0.0.1 localhost\r\n";

BackupRecord Rec(const std::string& backup, const std::string& hostsAfter, bool lineBreakAdded = false) {
  return {DigestOf(backup), lineBreakAdded, DigestOf(hostsAfter)};
}
HostsOnDisk Disk(Opt hosts, Opt backup = nullopt, std::optional<BackupRecord> record = nullopt,
                 FileKind kind = FileKind::kFile) {
  return {std::move(hosts), backup || kind != FileKind::kFile ? kind : FileKind::kMissing, std::move(backup),
          std::move(record)};
}

enum class Op { kBlock, kRestore };
const ListRead kShipped{kList, nullptr};
const ListRead kMissingList{nullopt, text::kNoBlockList};

struct Row {
  const char* name;
  Op op;
  HostsOnDisk disk;
  Say say;
  const wchar_t* told;
  Opt writes;  // Block: what it appends; Restore: the hosts file it writes
  ListRead list = kShipped;
};
std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

// clang-format off
const Row kRows[] = {
    // Restore: Block's section out, every other byte kept; no `backup` needed.
    {"SectionOut_OthersEntriesStay", Op::kRestore, Disk(U + L + kIntranet, U, Rec(U, U + L)), Say::kNotice, text::kRestored, U + kIntranet},
    {"SectionOut_AStrayBeginLineAboveItStays", Op::kRestore, Disk("# BEGIN Quietreel block list\r\n" + U + L), Say::kNotice, text::kRestored, "# BEGIN Quietreel block list\r\n" + U},
    {"SectionOut_WithoutBackupOrRecord", Op::kRestore, Disk(U + L), Say::kNotice, text::kRestored, U},
    {"SectionOut_TheLineBreakBlockAddedGoes", Op::kRestore, Disk("a b\r\n" + L, "a b", Rec("a b", "a b\r\n" + L, true)), Say::kNotice, text::kRestored, "a b"},
    {"SectionOut_TheLineBreakStaysBeforeOthers", Op::kRestore, Disk("a b\r\n" + L + kIntranet, "a b", Rec("a b", "a b\r\n" + L, true)), Say::kNotice, text::kRestored, "a b\r\n" + kIntranet},
    {"SectionOut_ABlockFromNoHostsGoesBackToTheMarker", Op::kRestore, Disk(L, kMarker, Rec(kMarker, L)), Say::kNotice, text::kRestored, kMarker},
    {"SectionOut_APlantedMarkerIsNotWritten", Op::kRestore, Disk(L, kMarker), Say::kNotice, text::kRestored, ""},
    // Restore: no section. `backup` whole only where the record vouches for it and for the hosts file.
    {"Vouched_HostsMissingAfterReset", Op::kRestore, Disk(nullopt, U, Rec(U, U + L)), Say::kNotice, text::kRestored, U},
    {"Vouched_HostsAlreadyWhatBackupHolds", Op::kRestore, Disk(U, U, Rec(U, U + L)), Say::kNotice, text::kRestored, U},
    {"PlantedMarker_Refused", Op::kRestore, Disk(kLocalhost + kIntranet + kC2, kMarker), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"PlantedMarker_RefusedAfterReset", Op::kRestore, Disk(nullopt, kMarker), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"PrefixOfTheHostsFile_Refused", Op::kRestore, Disk(kLocalhost + kC2, kLocalhost), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"HostsChangedSinceBlock_Refused", Op::kRestore, Disk(U + kIntranet, U, Rec(U, U + L)), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"BackupRewrittenSinceBlock_Refused", Op::kRestore, Disk(nullopt, kLocalhost, Rec(U, U + L)), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"BackupFromBeforeRecords_Refused", Op::kRestore, Disk(nullopt, U), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"BackupAFolder", Op::kRestore, Disk(nullopt, nullopt, nullopt, FileKind::kDirectory), Say::kWarning, text::kRestoreFailed, nullopt},
    {"NothingToRestore", Op::kRestore, Disk(U), Say::kNotice, text::kAlreadyRestored, nullopt},
    // Block: the list on a line of its own; over a `backup`, Restore's answer.
    {"Block_FromClean", Op::kBlock, Disk(U), Say::kNotice, text::kBlocked, L},
    {"Block_LastLineWithoutBreak", Op::kBlock, Disk("a b"), Say::kNotice, text::kBlocked, "\r\n" + L},
    {"Block_FromNoHosts", Op::kBlock, Disk(nullopt), Say::kNotice, text::kBlocked, L},
    {"Block_OverAStaleBackup", Op::kBlock, Disk(nullopt, kLocalhost), Say::kNotice, text::kBlocked, L},
    {"Block_SectionThere", Op::kBlock, Disk(U + L), Say::kWarning, text::kAlreadyBlocked, nullopt},
    {"Block_OverAVouchedBackup", Op::kBlock, Disk(U, U, Rec(U, U + L)), Say::kWarning, text::kAlreadyBlocked, nullopt},
    {"Block_OverAPlantedMarker", Op::kBlock, Disk(kLocalhost + kIntranet + kC2, kMarker), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"Block_OverAPrefix", Op::kBlock, Disk(kLocalhost + kC2, kLocalhost), Say::kWarning, text::kBackupUntrusted, nullopt},
    {"Block_WithoutAList", Op::kBlock, Disk(U), Say::kWarning, text::kNoBlockList, nullopt, kMissingList},
    {"Block_AlreadyBlockedWhateverTheList", Op::kBlock, Disk(U + L), Say::kWarning, text::kAlreadyBlocked, nullopt, kMissingList},
};
// clang-format on

class HostsPlanRows : public ::testing::TestWithParam<Row> {};

// Besides the row: a Block that writes saves the hosts file (or the marker)
// with a record that vouches for it and for what the append leaves; a
// Restore that writes takes the record; a refusal writes nothing.
TEST_P(HostsPlanRows, DecideWhatToTellAndWrite) {
  const Row& row = GetParam();
  const HostsPlan plan = row.op == Op::kBlock ? PlanBlock(row.disk, row.list) : PlanRestore(row.disk);
  EXPECT_EQ(plan.done.kind, row.say);
  EXPECT_EQ(fake::Narrow(plan.done.text ? plan.done.text : L""), fake::Narrow(row.told));
  EXPECT_EQ(row.op == Op::kBlock ? plan.append : plan.replace, row.writes);
  EXPECT_FALSE(row.op == Op::kBlock ? plan.replace.has_value() : plan.append.has_value());
  if (plan.append) {
    const std::string saved = row.disk.hosts.value_or(kMarker);
    ASSERT_TRUE(plan.saveBackup && plan.record);
    EXPECT_EQ(*plan.saveBackup, saved);
    const std::optional<BackupRecord> record = ParseRecord(*plan.record);
    ASSERT_TRUE(record);
    EXPECT_TRUE(Matches(record->backup, saved));
    EXPECT_TRUE(Matches(record->hostsAfterBlock, row.disk.hosts.value_or("") + *plan.append));
    EXPECT_EQ(record->lineBreakAdded, plan.append->compare(0, 2, "\r\n") == 0);
    EXPECT_EQ(plan.hostsBefore, row.disk.hosts);
  }
  EXPECT_EQ(plan.takeRecord, plan.replace.has_value());
  EXPECT_EQ(plan.removeStaleBackup, row.op == Op::kBlock && !row.disk.hosts && row.disk.backup.has_value());
}

INSTANTIATE_TEST_SUITE_P(Rows, HostsPlanRows, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST(HostsPlanReset, RemovesOnlyAFile) {
  const auto said = [](const Message& message) { return fake::Narrow(message.text); };
  EXPECT_FALSE(PlanReset(FileKind::kMissing).removeHosts);
  EXPECT_EQ(said(PlanReset(FileKind::kMissing).done), fake::Narrow(text::kReset));
  EXPECT_TRUE(PlanReset(FileKind::kFile).removeHosts);
  EXPECT_EQ(said(PlanReset(FileKind::kFile).failed), fake::Narrow(text::kResetFailed));
  EXPECT_FALSE(PlanReset(FileKind::kDirectory).removeHosts);
  EXPECT_EQ(said(PlanReset(FileKind::kDirectory).done), fake::Narrow(text::kResetFailed));
}

}  // namespace
}  // namespace quietreel
