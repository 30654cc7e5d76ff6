#include <gtest/gtest.h>

#include "HostsFixture.h"

namespace quietreel {
namespace {

using fake::FakeWindow;
using testing::HostsMachine;
using testing::HostsState;
using Box = FakeWindow::Box;
using Kind = FakeWindow::BoxKind;

constexpr wchar_t kBlockedText[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
constexpr wchar_t kRestoredText[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
constexpr wchar_t kResetText[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";

// With the archive bit the file system sets on the file it has just written.
constexpr std::uint32_t kHidden = kAttributeHidden | kAttributeReadOnly | kAttributeSystem | kAttributeArchive;

class HostsOperations : public HostsMachine, public ::testing::Test {
 protected:
  void ExpectOnlyBox(Kind kind, const std::wstring& text) {
    ASSERT_EQ(owner.Boxes().size(), 1u);
    const Box& box = owner.Boxes()[0];
    EXPECT_EQ(box.kind, kind);
    EXPECT_EQ(fake::Narrow(box.text), fake::Narrow(text));
  }
  std::string Hosts() const { return machine.BytesOf(hosts); }
  std::string Backup() const { return machine.BytesOf(backup); }
};

// --- The twelve transitions --------------------------------------------------

TEST_F(HostsOperations, BlockFromClean_SavesTheFileAndAppendsTheListHidden) {
  Enter(HostsState::kClean);
  Block(services, owner);
  EXPECT_EQ(Backup(), kUserHosts);
  EXPECT_EQ(Hosts(), std::string(kUserHosts) + kListOnDisk);
  EXPECT_EQ(machine.AttributesOf(hosts), kHidden);
  ExpectOnlyBox(Kind::kNotice, kBlockedText);
}

TEST_F(HostsOperations, BlockFromBlocked_RefusesAndChangesNothing) {
  Enter(HostsState::kBlocked);
  auto before = machine.Snapshot();
  Block(services, owner);
  EXPECT_EQ(machine.Snapshot(), before);
  EXPECT_TRUE(machine.Commands().empty());
  ExpectOnlyBox(Kind::kWarning, kAlreadyBlocked);
}

TEST_F(HostsOperations, BlockFromNoHosts_CreatesTheListAndTheMarker) {
  Enter(HostsState::kNoHosts);
  Block(services, owner);
  EXPECT_EQ(Hosts(), kListOnDisk);
  EXPECT_EQ(Backup(), Marker());
  EXPECT_EQ(Backup().size(), 56u);
  EXPECT_EQ(machine.AttributesOf(hosts), kHidden);
  ExpectOnlyBox(Kind::kNotice, kBlockedText);
}

TEST_F(HostsOperations, BlockFromOrphaned_DropsTheStaleBackupThenBlocksAsFromNoHosts) {
  Enter(HostsState::kOrphaned);
  Block(services, owner);
  EXPECT_EQ(Hosts(), kListOnDisk);
  EXPECT_EQ(Backup(), Marker());
  ExpectOnlyBox(Kind::kNotice, kBlockedText);
}

TEST_F(HostsOperations, RestoreFromClean_OrNoHosts_OnlySaysSo) {
  for (HostsState state : {HostsState::kClean, HostsState::kNoHosts}) {
    HostsMachine fresh;
    fresh.Enter(state);
    auto before = fresh.machine.Snapshot();
    Restore(fresh.services, fresh.owner);
    EXPECT_EQ(fresh.machine.Snapshot(), before) << testing::StateName(state);
    ASSERT_EQ(fresh.owner.Boxes().size(), 1u);
    EXPECT_EQ(fresh.owner.Boxes()[0].kind, Kind::kNotice);
    EXPECT_EQ(fresh.owner.Boxes()[0].text, kAlreadyRestored);
  }
}

TEST_F(HostsOperations, RestoreFromBlocked_PutsTheSavedFileBackHidden) {
  Enter(HostsState::kBlocked);
  Restore(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_FALSE(machine.Exists(backup));
  EXPECT_FALSE(machine.Exists(fake::FakeWindows::kHostsPath + L".quietreel"));
  EXPECT_EQ(machine.AttributesOf(hosts), kHidden);
  ExpectOnlyBox(Kind::kNotice, kRestoredText);
}

TEST_F(HostsOperations, RestoreFromOrphaned_RecreatesTheHostsFile) {
  Enter(HostsState::kOrphaned);
  Restore(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_FALSE(machine.Exists(backup));
  EXPECT_EQ(machine.AttributesOf(hosts), kHidden);
  ExpectOnlyBox(Kind::kNotice, kRestoredText);
}

TEST_F(HostsOperations, ResetFromClean_DeletesTheHostsFile) {
  Enter(HostsState::kClean);
  Reset(services, owner);
  EXPECT_FALSE(machine.Exists(hosts));
  EXPECT_FALSE(machine.Exists(backup));
  ExpectOnlyBox(Kind::kNotice, kResetText);
}

TEST_F(HostsOperations, ResetFromBlocked_DeletesOnlyTheHostsFile) {
  Enter(HostsState::kBlocked);
  Reset(services, owner);
  EXPECT_FALSE(machine.Exists(hosts));
  EXPECT_EQ(Backup(), kUserHosts);
  ExpectOnlyBox(Kind::kNotice, kResetText);
}

TEST_F(HostsOperations, ResetWithoutHostsFile_OnlySaysSoAndRunsNothing) {
  for (HostsState state : {HostsState::kNoHosts, HostsState::kOrphaned}) {
    HostsMachine fresh;
    fresh.Enter(state);
    auto before = fresh.machine.Snapshot();
    Reset(fresh.services, fresh.owner);
    EXPECT_EQ(fresh.machine.Snapshot(), before) << testing::StateName(state);
    EXPECT_TRUE(fresh.machine.Commands().empty());
    ASSERT_EQ(fresh.owner.Boxes().size(), 1u);
    EXPECT_EQ(fresh.owner.Boxes()[0].text, kResetText);
  }
}

// --- What the list looks like in the hosts file --------------------------------

TEST_F(HostsOperations, ListLineEndsReachTheFileAsTextModeWritesThem) {
  ShipList("a\nb\r\nc");
  Enter(HostsState::kNoHosts);
  Block(services, owner);
  EXPECT_EQ(Hosts(), "a\r\nb\r\r\nc");
}

TEST_F(HostsOperations, ListEndsAtItsFirstZeroCharacter) {
  ShipList(std::string("0.0.0.0 a.example\n\0 0.0.0.0 b.example\n", 38));
  Enter(HostsState::kNoHosts);
  Block(services, owner);
  EXPECT_EQ(Hosts(), "0.0.0.0 a.example\r\n");
}

TEST_F(HostsOperations, ListThatBeginsWithZero_WritesNothingAndSaysNothing) {
  ShipList(std::string("\0 0.0.0.0 a.example\n", 20));
  Enter(HostsState::kClean);
  Block(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_EQ(Backup(), kUserHosts);
  EXPECT_TRUE(owner.Boxes().empty());
}

TEST_F(HostsOperations, UserEntryWithoutFinalLineBreakIsNotMergedWithTheList) {
  Enter(HostsState::kClean, "127.0.0.1 localhost");
  Block(services, owner);
  EXPECT_EQ(Hosts(), std::string("127.0.0.1 localhost\r\n") + kListOnDisk);
  EXPECT_EQ(Backup(), "127.0.0.1 localhost");
}

TEST_F(HostsOperations, EmptyHostsFileGetsTheListWithoutALeadingBlankLine) {
  Enter(HostsState::kClean, "");
  Block(services, owner);
  EXPECT_EQ(Hosts(), kListOnDisk);
  EXPECT_EQ(Backup(), "");
}

// --- Round trips ------------------------------------------------------------------

TEST_F(HostsOperations, BlockThenRestore_GivesBackTheUsersFileByteForByte) {
  Enter(HostsState::kClean, "# mine\n127.0.0.1 localhost");
  Block(services, owner);
  Block(services, owner);
  Restore(services, owner);
  EXPECT_EQ(Hosts(), "# mine\n127.0.0.1 localhost");
  EXPECT_FALSE(machine.Exists(backup));
  ASSERT_EQ(owner.Boxes().size(), 3u);
  EXPECT_EQ(owner.Boxes()[1].text, kAlreadyBlocked);
}

TEST_F(HostsOperations, RestoreAfterBlockFromNoHosts_LeavesTheMarkerAsHostsFile) {
  Enter(HostsState::kNoHosts);
  Block(services, owner);
  Restore(services, owner);
  EXPECT_EQ(Hosts(), Marker());
}

TEST_F(HostsOperations, ResetThenBlockThenRestore_YieldsTheMarkerNotTheOldFile) {
  Enter(HostsState::kBlocked);
  Reset(services, owner);
  Block(services, owner);
  EXPECT_EQ(Backup(), Marker());
  Restore(services, owner);
  EXPECT_EQ(Hosts(), Marker());
}

// --- The block list file ------------------------------------------------------------

TEST_F(HostsOperations, MissingBlockListRefusesWithoutTouchingTheHostsFile) {
  Enter(HostsState::kClean);
  machine.Remove(coreDat);
  auto before = machine.Snapshot();
  Block(services, owner);
  EXPECT_EQ(machine.Snapshot(), before);
  ExpectOnlyBox(Kind::kWarning, L"数据文件不存存，屏蔽失败！");
}

TEST_F(HostsOperations, UnreadableEmptyOrHugeBlockListTellsWhy) {
  struct Case {
    const char* name;
    std::string bytes;
    bool locked;
    const wchar_t* message;
  } cases[] = {
      {"locked", "ABCD", true, L"源文件打开失败，未找到需要解密的文件！"},
      {"empty", "", false, L"创建解密文件失败，请检查是否有权限创建文件！"},
      {"over 64 MiB", std::string((64u << 20) + 1, 'M'), false, L"源文件打开失败，未找到需要解密的文件！"},
  };
  for (const Case& c : cases) {
    HostsMachine fresh;
    fresh.Enter(HostsState::kClean);
    fresh.machine.AddFile(fresh.coreDat, c.bytes);
    if (c.locked) fresh.machine.Lock(fresh.coreDat);
    auto before = fresh.machine.Snapshot();
    Block(fresh.services, fresh.owner);
    EXPECT_EQ(fresh.machine.Snapshot(), before) << c.name;
    ASSERT_EQ(fresh.owner.Boxes().size(), 1u) << c.name;
    EXPECT_EQ(fresh.owner.Boxes()[0].kind, Kind::kWarning) << c.name;
    EXPECT_EQ(fresh.owner.Boxes()[0].text, c.message) << c.name;
  }
}

TEST_F(HostsOperations, StaleBackupIsGoneEvenWhenTheBlockListIsMissing) {
  Enter(HostsState::kOrphaned);
  machine.Remove(coreDat);
  Block(services, owner);
  EXPECT_FALSE(machine.Exists(backup));
  EXPECT_FALSE(machine.Exists(hosts));
}

// --- Failures on the way --------------------------------------------------------------

TEST_F(HostsOperations, BackupCopyFails_HostsFileUntouchedHiddenAgainNoPartialBackup) {
  Enter(HostsState::kClean);
  machine.FailNext("Copy");
  Block(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_FALSE(machine.Exists(backup));
  EXPECT_EQ(machine.Commands().back(), "attrib +h +r +s \"C:\\WINDOWS\\system32\\drivers\\etc\\hosts\"");
  ExpectOnlyBox(Kind::kWarning, kInterrupted);
}

TEST_F(HostsOperations, MarkerCannotBeWritten_NoHostsFileIsCreated) {
  Enter(HostsState::kNoHosts);
  machine.FailNext("CreateWithBytes");
  Block(services, owner);
  EXPECT_FALSE(machine.Exists(hosts));
  EXPECT_FALSE(machine.Exists(backup));
  ExpectOnlyBox(Kind::kWarning, kInterrupted);
}

TEST_F(HostsOperations, HostsFileCannotBeOpened_BackupIsRemoved) {
  Enter(HostsState::kClean);
  machine.Lock(hosts);
  Block(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_FALSE(machine.Exists(backup));
  ExpectOnlyBox(Kind::kWarning, kInterrupted);
}

TEST_F(HostsOperations, AppendFailsHalfway_TheSavedFileIsPutBack) {
  Enter(HostsState::kClean);
  machine.FailNext("Append");
  Block(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  EXPECT_FALSE(machine.Exists(backup));
  ExpectOnlyBox(Kind::kWarning, kInterrupted);
}

TEST_F(HostsOperations, AppendFailsHalfwayOnANewFile_BothFilesGo) {
  Enter(HostsState::kNoHosts);
  machine.FailNext("Append");
  Block(services, owner);
  EXPECT_FALSE(machine.Exists(hosts));
  EXPECT_FALSE(machine.Exists(backup));
  ExpectOnlyBox(Kind::kWarning, kInterrupted);
}

TEST_F(HostsOperations, RestoreCopyFails_KeepsBackupAndTheHostsFile) {
  Enter(HostsState::kBlocked);
  machine.FailNext("Copy");
  Restore(services, owner);
  EXPECT_EQ(Hosts(), std::string(kUserHosts) + kListOnDisk);
  EXPECT_EQ(Backup(), kUserHosts);
  EXPECT_FALSE(machine.Exists(fake::FakeWindows::kHostsPath + L".quietreel"));
  EXPECT_EQ(machine.AttributesOf(hosts), kHiddenReadOnlySystem);  // as Block left it
  ExpectOnlyBox(Kind::kWarning, kRestoreFailed);
}

TEST_F(HostsOperations, RestoreNeverDeletesTheHostsFile) {
  Enter(HostsState::kBlocked);
  Restore(services, owner);
  for (const std::string& call : machine.CallLog())
    EXPECT_NE(call, "Remove C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
}

TEST_F(HostsOperations, RestoreOntoALockedHostsFile_Fails) {
  Enter(HostsState::kBlocked);
  machine.Lock(hosts);
  Restore(services, owner);
  EXPECT_EQ(Backup(), kUserHosts);
  ExpectOnlyBox(Kind::kWarning, kRestoreFailed);
}

TEST_F(HostsOperations, ResetThatCannotDelete_SaysSoInsteadOfSuccess) {
  Enter(HostsState::kClean);
  machine.Lock(hosts);
  Reset(services, owner);
  EXPECT_EQ(Hosts(), kUserHosts);
  ExpectOnlyBox(Kind::kWarning, L"重置失败，请检查是否有权限修改文件！");
}

}  // namespace
}  // namespace quietreel
