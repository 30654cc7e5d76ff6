// Block, Restore and Reset, one row a case: the start state and what is
// wrong with the machine, then what the user is told, the hosts file and
// `backup` afterwards, and that nothing else on the disk changed and no
// byte of the user's hosts file was lost.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "HostsFixture.h"

namespace quietreel {
namespace {

using testing::Encoded;
using testing::HostsMachine;
using testing::HostsState;
using Kind = fake::FakeWindow::BoxKind;
namespace text = expected;

const std::string kUser = HostsMachine::kUserHosts;
const std::string kListOnDisk = HostsMachine::kListOnDisk;
const std::string kMarker = HostsMachine::Marker();
// A file the program wrote, then hid: the archive bit is the file system's.
constexpr std::uint32_t kHiddenNew = expected::kHiddenReadOnlySystem | expected::kArchive;
const std::wstring kElsewhere = L"C:\\Users\\user\\Documents\\private.txt";
const std::string kUnmarked = HostsMachine::kUnmarkedListOnDisk;
const std::string kBegin = "# BEGIN Quietreel block list\n", kEnd = "# END Quietreel block list\n";

struct FileAfter {
  enum { kUnchanged, kAbsent, kBytes } what;
  std::string bytes;
};
FileAfter Unchanged() { return {FileAfter::kUnchanged, {}}; }
FileAfter Absent() { return {FileAfter::kAbsent, {}}; }
FileAfter Bytes(std::string bytes) { return {FileAfter::kBytes, std::move(bytes)}; }

struct Box {
  Kind kind;
  const wchar_t* text;
};

using Step = std::function<void(HostsMachine&)>;
using Operation = void (*)(const Services&, Window&);
const Operation kBlock = &Block;
const Operation kRestore = &Restore;
const Operation kReset = &Reset;

struct Row {
  const char* name;
  HostsState state;
  Step arrange;  // what is odd about the machine; may be empty
  Operation operation;
  std::vector<Box> boxes;
  FileAfter hosts;
  FileAfter backup;
  std::optional<std::uint32_t> hostsAttributes = std::nullopt;
  int dnsFlushes = 0;
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

Step Ship(std::string plain) {
  return [plain](HostsMachine& m) { m.ShipList(plain); };
}
Step ShipRaw(std::string bytes) {
  return [bytes](HostsMachine& m) { m.machine.AddFile(m.coreDat, bytes); };
}
Step Lock(const std::wstring HostsMachine::*file) {
  return [file](HostsMachine& m) { m.machine.Lock(m.*file); };
}
Step FailNext(std::string call) {
  return [call](HostsMachine& m) { m.machine.FailNext(call); };
}
// Someone else's file, and a link to it (or a second name of a file) put in
// place of one of the program's files.
Step LinkElsewhere(const std::wstring HostsMachine::*file) {
  return [file](HostsMachine& m) {
    m.machine.AddFile(kElsewhere, "not the program's");
    m.machine.Remove(m.*file);
    m.machine.AddLink(m.*file, kElsewhere);
  };
}
Step SecondName(const std::wstring HostsMachine::*file) {
  return [file](HostsMachine& m) {
    const std::string bytes = m.machine.BytesOf(m.*file);
    m.machine.Remove(m.*file);
    m.machine.AddHardLinkedFile(m.*file, bytes);
  };
}
// A folder only administrators can write: core.dat need not be the file
// the build shipped, only a marked list that can do nothing but block.
Step InAdminFolder(Step then) {
  return [then](HostsMachine& m) {
    m.services.userCanWriteProgramDirectory = false;
    then(m);
  };
}
Step Hold(const std::wstring HostsMachine::*file, std::uint32_t share) {
  return [file, share](HostsMachine& m) { m.machine.HoldOpen(m.*file, share); };
}
Step Then(Step first, Step second) {
  return [first, second](HostsMachine& m) {
    first(m);
    second(m);
  };
}

// One row a case reads better than the formatter's columns.
// clang-format off
const Row kRows[] = {
    // --- The twelve transitions ------------------------------------------------
    {"BlockFromClean", HostsState::kClean, {}, kBlock, {{Kind::kNotice, text::kBlocked}},
     Bytes(kUser + kListOnDisk), Bytes(kUser), kHiddenNew, 1},
    {"BlockFromBlocked", HostsState::kBlocked, {}, kBlock, {{Kind::kWarning, text::kAlreadyBlocked}},
     Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},
    {"BlockFromNoHosts", HostsState::kNoHosts, {}, kBlock, {{Kind::kNotice, text::kBlocked}},
     Bytes(kListOnDisk), Bytes(kMarker), kHiddenNew, 1},
    {"BlockFromOrphaned", HostsState::kOrphaned, {}, kBlock, {{Kind::kNotice, text::kBlocked}},
     Bytes(kListOnDisk), Bytes(kMarker), kHiddenNew, 1},
    {"RestoreFromClean", HostsState::kClean, {}, kRestore, {{Kind::kNotice, text::kAlreadyRestored}},
     Unchanged(), Absent(), 0},
    {"RestoreFromBlocked", HostsState::kBlocked, {}, kRestore, {{Kind::kNotice, text::kRestored}},
     Bytes(kUser), Absent(), kHiddenNew, 1},
    {"RestoreFromNoHosts", HostsState::kNoHosts, {}, kRestore, {{Kind::kNotice, text::kAlreadyRestored}},
     Absent(), Absent()},
    {"RestoreFromOrphaned", HostsState::kOrphaned, {}, kRestore, {{Kind::kNotice, text::kRestored}},
     Bytes(kUser), Absent(), kHiddenNew, 1},
    {"ResetFromClean", HostsState::kClean, {}, kReset, {{Kind::kNotice, text::kReset}}, Absent(), Absent(),
     std::nullopt, 1},
    {"ResetFromBlocked", HostsState::kBlocked, {}, kReset, {{Kind::kNotice, text::kReset}}, Absent(),
     Bytes(kUser), std::nullopt, 1},
    {"ResetFromNoHosts", HostsState::kNoHosts, {}, kReset, {{Kind::kNotice, text::kReset}}, Absent(), Absent()},
    {"ResetFromOrphaned", HostsState::kOrphaned, {}, kReset, {{Kind::kNotice, text::kReset}}, Absent(),
     Unchanged()},

    // --- The list in the hosts file ----------------------------------------------
    {"ListWithCrLfLineBreaks", HostsState::kNoHosts, InAdminFolder(Ship(kBegin + "0.0.0.0 b.example\r\n" + kEnd)),
     kBlock, {{Kind::kWarning, text::kListDamaged}}, Absent(), Absent()},
    {"ListEndsAtItsFirstZero", HostsState::kNoHosts, InAdminFolder(Ship(HostsMachine::kList + std::string("\0 6.6.6.6 b.c\r", 14))),
     kBlock, {{Kind::kNotice, text::kBlocked}}, Bytes(kListOnDisk), Bytes(kMarker), kHiddenNew, 1},
    {"ListBeginningWithZeroIsDamaged", HostsState::kClean, InAdminFolder(Ship(std::string("\0", 1) + HostsMachine::kList)),
     kBlock, {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    {"UserLastLineWithoutBreakStaysItsOwnLine", HostsState::kClean,
     [](HostsMachine& m) { m.machine.AddFile(m.hosts, "127.0.0.1 localhost"); }, kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes("127.0.0.1 localhost\r\n" + kListOnDisk), Bytes("127.0.0.1 localhost"), std::nullopt, 1},
    {"EmptyHostsGetsNoLeadingBlankLine", HostsState::kClean, [](HostsMachine& m) { m.machine.AddFile(m.hosts, ""); },
     kBlock, {{Kind::kNotice, text::kBlocked}}, Bytes(kListOnDisk), Bytes(""), std::nullopt, 1},
    {"UserBytesOfAnyCodePageAreKept", HostsState::kClean,
     [](HostsMachine& m) { m.machine.AddFile(m.hosts, "# \xC4\xFA\xBA\xC3\r\n\xFF\xFE"); }, kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes("# \xC4\xFA\xBA\xC3\r\n\xFF\xFE\r\n" + kListOnDisk),
     Bytes("# \xC4\xFA\xBA\xC3\r\n\xFF\xFE"), std::nullopt, 1},
    {"OddLastCharacterOfCoreDatIsIgnored", HostsState::kNoHosts, InAdminFolder(ShipRaw(Encoded(HostsMachine::kList) + "Q")), kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes(kListOnDisk), Bytes(kMarker), std::nullopt, 1},

    // --- core.dat ----------------------------------------------------------------
    {"CoreDatMissing", HostsState::kClean, [](HostsMachine& m) { m.machine.Remove(m.coreDat); }, kBlock,
     {{Kind::kWarning, text::kNoBlockList}}, Unchanged(), Absent()},
    {"StaleBackupGoesEvenWithoutCoreDat", HostsState::kOrphaned, [](HostsMachine& m) { m.machine.Remove(m.coreDat); },
     kBlock, {{Kind::kWarning, text::kNoBlockList}}, Absent(), Absent()},
    {"CoreDatLocked", HostsState::kClean, Lock(&HostsMachine::coreDat), kBlock,
     {{Kind::kWarning, text::kListUnreadable}}, Unchanged(), Absent()},
    {"CoreDatIsADirectory", HostsState::kClean,
     [](HostsMachine& m) { m.machine.Remove(m.coreDat), m.machine.AddDirectory(m.coreDat); }, kBlock,
     {{Kind::kWarning, text::kListUnreadable}}, Unchanged(), Absent()},
    {"CoreDatEmpty", HostsState::kClean, ShipRaw(""), kBlock, {{Kind::kWarning, text::kListEmpty}}, Unchanged(),
     Absent()},
    {"CoreDatOverFourMiB", HostsState::kClean, ShipRaw(std::string((4u << 20) + 1, 'M')), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    {"ListThatRedirects", HostsState::kClean, InAdminFolder(Ship(kBegin + "6.6.6.6 www.bank.example\n" + kEnd)), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    {"ListWithCrOnlyLineEnds", HostsState::kNoHosts, InAdminFolder(Ship(kBegin + "0.0.0.0 a.example\r0.0.0.0 b.example\r" + kEnd)), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Absent(), Absent()},
    // Restore would not take out what is outside the markers, nor know an
    // unmarked list: either would stay in the hosts file for good.
    {"ListWithoutMarkers", HostsState::kClean, InAdminFolder(Ship("0.0.0.0 a.example\n")), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    {"ListWithALineAfterTheEndMarker", HostsState::kClean,
     InAdminFolder(Ship(HostsMachine::kList + std::string("0.0.0.0 definitionupdates.av-vendor.example\n"))), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    // In a folder the user can write, only the list the build shipped.
    {"MarkedListThatWasNotShipped", HostsState::kClean, Ship(kBegin + "0.0.0.0 av-vendor.example\n" + kEnd), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},
    {"AdminFolderMayHoldItsOwnList", HostsState::kClean, InAdminFolder(Ship(kBegin + "0.0.0.0 a.example\n" + kEnd)), kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes(kUser + "# BEGIN Quietreel block list\r\n0.0.0.0 a.example\r\n# END Quietreel block list\r\n"),
     Bytes(kUser), kHiddenNew, 1},
    {"CoreDatWithBytesOutsideTheCode", HostsState::kClean, InAdminFolder(ShipRaw(Encoded(HostsMachine::kList) + "\xB0\xA1")), kBlock,
     {{Kind::kWarning, text::kListDamaged}}, Unchanged(), Absent()},

    // --- The hosts file ------------------------------------------------------------
    {"HostsHiddenReadOnlySystemIsExtended", HostsState::kClean,
     [](HostsMachine& m) { m.machine.AddFile(m.hosts, kUser, expected::kHiddenReadOnlySystem); }, kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes(kUser + kListOnDisk), Bytes(kUser), kHiddenNew, 1},
    // Windows keeps second names of system files in its component store.
    {"HostsWithASecondNameIsExtended", HostsState::kClean, SecondName(&HostsMachine::hosts), kBlock,
     {{Kind::kNotice, text::kBlocked}}, Bytes(kUser + kListOnDisk), Bytes(kUser), kHiddenNew, 1},
    {"HostsReadOnlyThatStaysReadOnly", HostsState::kClean,
     Then([](HostsMachine& m) { m.machine.AddFile(m.hosts, kUser, kAttributeReadOnly); }, FailNext("SetAttributes")),
     kBlock, {{Kind::kWarning, text::kInterrupted}}, Unchanged(), Absent(), kAttributeReadOnly},
    {"HostsIsADirectory", HostsState::kNoHosts, [](HostsMachine& m) { m.machine.AddDirectory(m.hosts); }, kBlock,
     {{Kind::kWarning, text::kInterrupted}}, Unchanged(), Absent()},
    {"HostsLocked", HostsState::kClean, Lock(&HostsMachine::hosts), kBlock, {{Kind::kWarning, text::kInterrupted}},
     Unchanged(), Absent()},
    {"RestoreOntoALockedHostsFile", HostsState::kBlocked, Lock(&HostsMachine::hosts), kRestore,
     {{Kind::kWarning, text::kRestoreFailed}}, Unchanged(), Unchanged()},
    {"ResetThatCannotDeleteHidesTheFileAgain", HostsState::kBlocked, Lock(&HostsMachine::hosts), kReset,
     {{Kind::kWarning, text::kResetFailed}}, Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},

    // --- backup -------------------------------------------------------------------------
    {"BackupIsADirectory_Block", HostsState::kClean, [](HostsMachine& m) { m.machine.AddDirectory(m.backup); }, kBlock,
     {{Kind::kWarning, text::kBackupUntrusted}}, Unchanged(), Unchanged()},
    {"BackupIsADirectory_Restore", HostsState::kBlocked,
     [](HostsMachine& m) { m.machine.Remove(m.backup), m.machine.AddDirectory(m.backup); }, kRestore,
     {{Kind::kNotice, text::kRestored}}, Bytes(kUser), Unchanged(), kHiddenNew, 1},
    {"BackupLocked_BlockWithoutHosts", HostsState::kOrphaned, Lock(&HostsMachine::backup), kBlock,
     {{Kind::kWarning, text::kInterrupted}}, Absent(), Unchanged()},
    // The section is out and the record gone: Restore has worked, and the
    // `backup` that stays vouches for nothing.
    {"BackupHeld_Restore", HostsState::kBlocked, Hold(&HostsMachine::backup, fake::FakeWindows::kShareRead), kRestore,
     {{Kind::kNotice, text::kRestored}}, Bytes(kUser), Unchanged(), kHiddenNew, 1},
    // Every user may read the record: one held open is not removed, so
    // nothing changes.
    {"RecordHeld_Restore", HostsState::kBlocked, Hold(&HostsMachine::record, fake::FakeWindows::kShareRead), kRestore,
     {{Kind::kWarning, text::kRestoreFailed}}, Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},

    // --- What Restore may write: HostsPlanTest; here, what the reading feeds it
    {"RestoreFromOrphanedWithoutRecord", HostsState::kOrphaned, [](HostsMachine& m) { m.machine.Remove(m.record); },
     kRestore, {{Kind::kWarning, text::kBackupUntrusted}}, Absent(), Unchanged()},
    {"RestoreAfterTheHostsFileChanged", HostsState::kBlocked,
     [](HostsMachine& m) { m.machine.AddFile(m.hosts, "# a new hosts file\r\n"); }, kRestore,
     {{Kind::kWarning, text::kBackupUntrusted}}, Unchanged(), Unchanged()},
    {"NoProgramFolder", HostsState::kBlocked, [](HostsMachine& m) { m.services.programDirectory.clear(); }, kRestore,
     {{Kind::kWarning, text::kNoProgramFolder}}, Unchanged(), Unchanged()},
    {"NoUserRights", HostsState::kClean, [](HostsMachine& m) { m.services.userFiles = nullptr; }, kBlock,
     {{Kind::kWarning, text::kNoUserRights}}, Unchanged(), Absent()},

    // --- Writes that fail or are undone ---------------------------------------------------
    {"BackupWriteFails", HostsState::kClean, FailNext("CreateNew"), kBlock, {{Kind::kWarning, text::kInterrupted}},
     Unchanged(), Absent(), expected::kHiddenReadOnlySystem},
    {"MarkerWriteFails", HostsState::kNoHosts, FailNext("CreateNew"), kBlock, {{Kind::kWarning, text::kInterrupted}},
     Absent(), Absent()},
    {"AppendBreaksOff", HostsState::kClean, FailNext("Append"), kBlock, {{Kind::kWarning, text::kInterrupted}},
     Bytes(kUser), Absent(), kHiddenNew},
    {"AppendBreaksOffOnANewFile", HostsState::kNoHosts, FailNext("Append"), kBlock,
     {{Kind::kWarning, text::kInterrupted}}, Absent(), Absent()},
    {"AppendUndoneBySecuritySoftware", HostsState::kClean,
     [](HostsMachine& m) {
       m.machine.BeforeCall("ReadTail", [&m] { m.machine.AddFile(m.hosts, kUser); });
     },
     kBlock, {{Kind::kWarning, text::kInterrupted}}, Bytes(kUser), Absent(), kHiddenNew},
    {"AppendUndoneAndHostsThenHeldKeepsBackup", HostsState::kClean,
     [](HostsMachine& m) {
       m.machine.BeforeCall("ReadTail", [&m] { m.machine.AddFile(m.hosts, kUser), m.machine.Lock(m.hosts); });
     },
     kBlock, {{Kind::kWarning, text::kInterrupted}}, Bytes(kUser), Bytes(kUser)},
    {"RestoreWriteFails", HostsState::kBlocked, FailNext("CreateNew"), kRestore,
     {{Kind::kWarning, text::kRestoreFailed}}, Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},

    // --- Files beside the program that are not what they claim -------------------------
    {"BackupLinkedElsewhere_Restore", HostsState::kBlocked, LinkElsewhere(&HostsMachine::backup), kRestore,
     {{Kind::kWarning, text::kNotPlainFile}}, Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},
    {"BackupLinkedElsewhere_Block", HostsState::kOrphaned, LinkElsewhere(&HostsMachine::backup), kBlock,
     {{Kind::kWarning, text::kNotPlainFile}}, Absent(), Unchanged()},
    {"BackupWithASecondName_Restore", HostsState::kBlocked, SecondName(&HostsMachine::backup), kRestore,
     {{Kind::kWarning, text::kNotPlainFile}}, Unchanged(), Unchanged(), expected::kHiddenReadOnlySystem},
    {"CoreDatLinkedElsewhere", HostsState::kClean, LinkElsewhere(&HostsMachine::coreDat), kBlock,
     {{Kind::kWarning, text::kNotPlainFile}}, Unchanged(), Absent()},
    {"CoreDatWithASecondName", HostsState::kClean, SecondName(&HostsMachine::coreDat), kBlock,
     {{Kind::kWarning, text::kNotPlainFile}}, Unchanged(), Absent()},
    {"LinkPlantedAtBackupBeforeItIsMade", HostsState::kClean,
     [](HostsMachine& m) {
       m.machine.AddFile(kElsewhere, "not the program's");
       m.machine.BeforeCall("CreateNew", [&m] { m.machine.AddLink(m.backup, kElsewhere); });
     },
     kBlock, {{Kind::kWarning, text::kInterrupted}}, Unchanged(), Bytes("not the program's"),
     expected::kHiddenReadOnlySystem},
};
// clang-format on

struct FileBefore {
  bool exists;
  std::string bytes;
};

FileBefore Capture(const fake::FakeWindows& machine, const std::wstring& path) {
  return {machine.IsFile(path) || machine.IsDirectory(path), machine.BytesOf(path)};
}

// Everything but the hosts file and `backup` themselves.
std::map<std::wstring, std::string> Elsewhere(const fake::FakeWindows& machine) {
  auto rest = machine.Snapshot();
  for (const wchar_t* own : {L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\HOSTS", L"C:\\PROGRAM FILES\\QUIETREEL\\BACKUP",
                             L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\QUIETREEL-BACKUP.TXT"}) {
    rest.erase(own);
    rest.erase(std::wstring(own) + L"\\");
  }
  return rest;
}

void ExpectFile(const fake::FakeWindows& machine, const std::wstring& path, const FileAfter& expected,
                const FileBefore& before) {
  const bool exists = machine.IsFile(path) || machine.IsDirectory(path);
  switch (expected.what) {
    case FileAfter::kAbsent:
      EXPECT_FALSE(exists);
      break;
    case FileAfter::kBytes:
      EXPECT_TRUE(machine.IsFile(path));
      EXPECT_EQ(machine.BytesOf(path), expected.bytes);
      break;
    case FileAfter::kUnchanged:
      EXPECT_EQ(exists, before.exists);
      EXPECT_EQ(machine.BytesOf(path), before.bytes);
      break;
  }
}

class HostsOperations : public ::testing::TestWithParam<Row> {};

TEST_P(HostsOperations, TellTheOutcomeAndLoseNothing) {
  const Row& row = GetParam();
  HostsMachine m;
  m.Enter(row.state);
  if (row.arrange) row.arrange(m);
  const FileBefore hostsBefore = Capture(m.machine, m.hosts);
  const FileBefore backupBefore = Capture(m.machine, m.backup);
  const bool hostsWasFile = m.machine.IsFile(m.hosts);
  const auto elsewhere = Elsewhere(m.machine);

  row.operation(m.services, m.owner);

  ASSERT_EQ(m.owner.Boxes().size(), row.boxes.size());
  for (std::size_t i = 0; i < row.boxes.size(); ++i) {
    EXPECT_EQ(m.owner.Boxes()[i].kind, row.boxes[i].kind) << i;
    EXPECT_EQ(fake::Narrow(m.owner.Boxes()[i].text), fake::Narrow(row.boxes[i].text)) << i;
  }
  ExpectFile(m.machine, m.hosts, row.hosts, hostsBefore);
  ExpectFile(m.machine, m.backup, row.backup, backupBefore);
  if (row.hostsAttributes) {
    EXPECT_EQ(m.machine.AttributesOf(m.hosts), *row.hostsAttributes);
  }
  EXPECT_EQ(m.machine.DnsFlushes(), row.dnsFlushes);
  EXPECT_EQ(Elsewhere(m.machine), elsewhere);

  // The record goes when `backup` goes, and vouches for a `backup` Block
  // made.
  if (m.machine.IsFile(m.record)) {
    EXPECT_TRUE(m.machine.Exists(m.backup));
  }
  if (row.operation == kBlock && !backupBefore.exists && m.machine.IsFile(m.backup) && m.machine.Look(m.backup).plain) {
    std::optional<BackupRecord> record = ParseRecord(m.machine.BytesOf(m.record));
    ASSERT_TRUE(record);
    EXPECT_TRUE(Matches(record->backup, m.machine.BytesOf(m.backup)));
    if (m.owner.Boxes().at(0).kind == Kind::kNotice) {
      EXPECT_TRUE(Matches(record->hostsAfterBlock, m.machine.BytesOf(m.hosts)));
    }
  }
  // A `backup` the program made is plain, so nothing stops its removal.
  if (!backupBefore.exists && m.machine.IsFile(m.backup) && m.machine.Look(m.backup).plain) {
    EXPECT_EQ(m.machine.AttributesOf(m.backup), expected::kArchive);
  }
  // Nothing lost by a Block: the user's hosts file still starts the hosts
  // file, and whenever the two differ, `backup` holds the user's.
  if (row.operation == kBlock && hostsWasFile) {
    ASSERT_TRUE(m.machine.IsFile(m.hosts));
    const std::string now = m.machine.BytesOf(m.hosts);
    EXPECT_EQ(now.compare(0, hostsBefore.bytes.size(), hostsBefore.bytes), 0);
    if (now != hostsBefore.bytes) {
      EXPECT_EQ(m.machine.BytesOf(m.backup), hostsBefore.bytes);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, HostsOperations, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// What a user's program can change in the program's folder is handled with
// the user's rights; only the hosts file and what lies beside it get the
// program's own.
TEST(HostsRights, TheProgramsFolderAsTheUserTheHostsFileAsTheProgram) {
  HostsMachine m;
  m.Enter(HostsState::kClean);
  Block(m.services, m.owner);
  Restore(m.services, m.owner);
  ASSERT_EQ(m.owner.Boxes().size(), 2u);
  for (const std::string& call : m.machine.CallLog()) {
    const bool asUser = call.size() > 8 && call.compare(call.size() - 8, 8, " as user") == 0;
    EXPECT_EQ(asUser, call.find("Quietreel") != std::string::npos) << call;
  }
}

// A scratch copy left by a Restore the power cut short, read-only even, is
// replaced, and gone afterwards.
TEST(HostsScratch, LeftoverFromACutRunIsReplacedAndRemoved) {
  HostsMachine m;
  m.Enter(HostsState::kBlocked);
  m.machine.AddFile(m.scratch, "half", kAttributeReadOnly);
  Restore(m.services, m.owner);
  EXPECT_EQ(m.machine.BytesOf(m.hosts), kUser);
  EXPECT_FALSE(m.machine.Exists(m.scratch));
}

// A replacement that broke off halfway leaves no hosts file, and its new
// bytes only in the scratch copy: the next start puts them in place rather
// than bringing back the older `backup`.
TEST(HostsScratch, ReplacementCutHalfwayIsFinishedByTheNextStart) {
  HostsMachine m;
  m.Enter(HostsState::kBlocked);
  m.machine.AddFile(m.hosts, kUser + kListOnDisk + "10.0.0.9 vpn.example\r\n", expected::kHiddenReadOnlySystem);
  m.machine.SetReplaceBreaksHalfway(true);
  m.machine.FailNext("Replace");
  Restore(m.services, m.owner);
  ASSERT_FALSE(m.machine.Exists(m.hosts));
  Restore(m.services, m.owner);
  EXPECT_EQ(m.machine.BytesOf(m.hosts), kUser + "10.0.0.9 vpn.example\r\n");
}

}  // namespace
}  // namespace quietreel
