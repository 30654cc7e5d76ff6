// Bad input, one row each: what the user is told (or that nothing is said),
// and that no byte of the user's hosts file is lost. Rows where only the real
// Win32 layer can decide the outcome live in tests/win/BadInputWinTest.cpp.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "HostsFixture.h"
#include "hosts/BlockListFile.h"

namespace quietreel {
namespace {

using fake::FakeWindow;
using testing::HostsMachine;
using testing::HostsState;
using Kind = FakeWindow::BoxKind;

constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
constexpr wchar_t kNoBlockList[] = L"数据文件不存存，屏蔽失败！";
constexpr wchar_t kOpenFailed[] = L"源文件打开失败，未找到需要解密的文件！";
constexpr wchar_t kEmptyList[] = L"创建解密文件失败，请检查是否有权限创建文件！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";

const std::string kUser = HostsMachine::kUserHosts;
const std::string kListOnDisk = HostsMachine::kListOnDisk;

// The character a pair (c1, c2) stands for at a position of the given
// parity, straight from the scheme: ((c1 - K) * 26 + (c2 - K)) mod 256, XOR
// bits 8-15 of the seed (even) or of the seed XOR 0x71A6 (odd).
char PairStandsFor(unsigned char c1, unsigned char c2, bool odd) {
  const int value = (c1 - kBlockListBaseChar) * 26 + (c2 - kBlockListBaseChar);
  const int key = (odd ? (kBlockListSeed ^ 0x71A6) : kBlockListSeed) >> 8;
  return static_cast<char>((value & 0xFF) ^ (key & 0xFF));
}

// The shipped list, its length in characters being even.
const std::string kList = HostsMachine::kList;

// Absent, or exactly these bytes; `unchanged` compares with the state the
// row started from.
struct FileAfter {
  enum { kUnchanged, kAbsent, kBytes } what;
  std::string bytes;
};
FileAfter Unchanged() { return {FileAfter::kUnchanged, {}}; }
FileAfter Absent() { return {FileAfter::kAbsent, {}}; }
FileAfter Bytes(std::string bytes) { return {FileAfter::kBytes, std::move(bytes)}; }

enum class Operation { kBlock, kRestore };

struct Row {
  const char* name;
  std::function<void(HostsMachine&)> arrange;
  Operation operation;
  std::optional<Kind> kind;  // no box at all when empty
  const wchar_t* message;
  FileAfter hosts;
  FileAfter backup;
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

void ShipRaw(HostsMachine& m, const std::string& bytes) { m.machine.AddFile(m.coreDat, bytes); }

std::string Encoded(const std::string& plain) { return EncodeBlockList(kBlockListBaseChar, plain, kBlockListSeed); }

const Row kRows[] = {
    // --- core.dat --------------------------------------------------------------
    {"CoreDatMissing", [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.Remove(m.coreDat); },
     Operation::kBlock, Kind::kWarning, kNoBlockList, Unchanged(), Absent()},
    {"CoreDatEmpty", [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, ""); },
     Operation::kBlock, Kind::kWarning, kEmptyList, Unchanged(), Absent()},
    // One character makes no pair: an empty list, saved for but not written or announced.
    {"CoreDatOneByte", [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, "M"); },
     Operation::kBlock, std::nullopt, nullptr, Unchanged(), Bytes(kUser)},
    {"CoreDatOddLength", [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, Encoded(kList) + "Q"); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(kUser + kListOnDisk), Bytes(kUser)},
    // Bytes outside the alphabet wrap; a GBK pair becomes one Latin-1 character.
    {"CoreDatNonAsciiBytes", [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, Encoded(kList) + "\xB0\xA1"); },
     Operation::kBlock, Kind::kNotice, kBlocked,
     Bytes(kUser + kListOnDisk + PairStandsFor(0xB0, 0xA1, kList.size() % 2)), Bytes(kUser)},
    {"CoreDatRawZeroBytes", [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, std::string("\0\0", 2) + Encoded("x\n").substr(2)); },
     Operation::kBlock, Kind::kNotice, kBlocked,
     Bytes(kUser + PairStandsFor(0, 0, false) + "\r\n"), Bytes(kUser)},
    {"CoreDatZeroCharacterEndsTheList",
     [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, Encoded(kList + std::string("\0# hidden\n", 10))); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(kUser + kListOnDisk), Bytes(kUser)},
    {"CoreDatOverTheSizeLimit",
     [](HostsMachine& m) { m.Enter(HostsState::kClean); ShipRaw(m, std::string(kBlockListSizeLimit + 1, 'M')); },
     Operation::kBlock, Kind::kWarning, kOpenFailed, Unchanged(), Absent()},
    {"CoreDatLocked", [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.Lock(m.coreDat); },
     Operation::kBlock, Kind::kWarning, kOpenFailed, Unchanged(), Absent()},
    {"CoreDatIsADirectory",
     [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.Remove(m.coreDat); m.machine.AddDirectory(m.coreDat); },
     Operation::kBlock, Kind::kWarning, kOpenFailed, Unchanged(), Absent()},

    // --- the hosts file ----------------------------------------------------------
    {"HostsMissing", [](HostsMachine& m) { m.Enter(HostsState::kNoHosts); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(kListOnDisk), Bytes(HostsMachine::Marker())},
    {"HostsEmpty", [](HostsMachine& m) { m.Enter(HostsState::kClean, ""); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(kListOnDisk), Bytes("")},
    // Cannot be saved, so it is not extended.
    {"HostsIsADirectory", [](HostsMachine& m) { m.machine.AddDirectory(m.hosts); },
     Operation::kBlock, Kind::kWarning, kInterrupted, Unchanged(), Absent()},
    {"HostsLocked", [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.Lock(m.hosts); },
     Operation::kBlock, Kind::kWarning, kInterrupted, Unchanged(), Absent()},
    {"HostsReadOnlyHiddenSystem",
     [](HostsMachine& m) { m.machine.AddFile(m.hosts, kUser, HostsMachine::kHiddenReadOnlySystem); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(kUser + kListOnDisk), Bytes(kUser)},
    // When `attrib` is refused the hosts file stays read-only and cannot be
    // extended; the copy in `backup` must not keep that bit, or it could not
    // be removed and the user would be stuck "blocked" without the list.
    {"HostsReadOnlyAndAttribRefused",
     [](HostsMachine& m) {
       m.machine.AddFile(m.hosts, kUser, HostsMachine::kHiddenReadOnlySystem);
       m.machine.FailNext("Run");
     },
     Operation::kBlock, Kind::kWarning, kInterrupted, Unchanged(), Absent()},
    {"HostsWithoutFinalNewline", [](HostsMachine& m) { m.Enter(HostsState::kClean, "127.0.0.1 localhost"); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes("127.0.0.1 localhost\r\n" + kListOnDisk),
     Bytes("127.0.0.1 localhost")},
    // Appended as code-page bytes behind the user's UTF-16 text, which stays
    // whole; its last byte is the zero of "\n\0", so a line break goes first.
    {"HostsUtf16WithBom",
     [](HostsMachine& m) { m.Enter(HostsState::kClean, std::string("\xFF\xFE#\0\r\0\n\0", 8)); },
     Operation::kBlock, Kind::kNotice, kBlocked, Bytes(std::string("\xFF\xFE#\0\r\0\n\0", 8) + "\r\n" + kListOnDisk),
     Bytes(std::string("\xFF\xFE#\0\r\0\n\0", 8))},
    {"HostsWithGbkComments",
     [](HostsMachine& m) { m.Enter(HostsState::kClean, "# \xC6\xC1\xB1\xCE\xB9\xE3\xB8\xE6\r\n127.0.0.1 localhost\r\n"); },
     Operation::kBlock, Kind::kNotice, kBlocked,
     Bytes("# \xC6\xC1\xB1\xCE\xB9\xE3\xB8\xE6\r\n127.0.0.1 localhost\r\n" + kListOnDisk),
     Bytes("# \xC6\xC1\xB1\xCE\xB9\xE3\xB8\xE6\r\n127.0.0.1 localhost\r\n")},

    // --- backup ------------------------------------------------------------------
    // Its existence is what "blocked" means, whatever it is.
    {"BackupIsADirectory_Block", [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.AddDirectory(m.backup); },
     Operation::kBlock, Kind::kWarning, kAlreadyBlocked, Unchanged(), Unchanged()},
    {"BackupIsADirectory_Restore", [](HostsMachine& m) { m.Enter(HostsState::kClean); m.machine.AddDirectory(m.backup); },
     Operation::kRestore, Kind::kWarning, kRestoreFailed, Unchanged(), Unchanged()},
    // Without a hosts file the stale backup must go first; it cannot.
    {"BackupLocked_BlockWithoutHosts", [](HostsMachine& m) { m.Enter(HostsState::kOrphaned); m.machine.Lock(m.backup); },
     Operation::kBlock, Kind::kWarning, kInterrupted, Absent(), Unchanged()},
    {"BackupLocked_Restore", [](HostsMachine& m) { m.Enter(HostsState::kBlocked); m.machine.Lock(m.backup); },
     Operation::kRestore, Kind::kWarning, kRestoreFailed, Unchanged(), Unchanged()},
};

struct FileBefore {
  bool isFile;
  bool exists;
  std::string bytes;
};

FileBefore Capture(const fake::FakeWindows& machine, const std::wstring& path) {
  return {machine.IsFile(path), machine.IsFile(path) || machine.IsDirectory(path), machine.BytesOf(path)};
}

// Everything but the hosts file and `backup`.
std::map<std::wstring, std::string> Elsewhere(const fake::FakeWindows& machine) {
  auto rest = machine.Snapshot();
  rest.erase(L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\HOSTS");
  rest.erase(L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\HOSTS\\");
  rest.erase(L"C:\\PROGRAM FILES\\QUIETREEL\\BACKUP");
  rest.erase(L"C:\\PROGRAM FILES\\QUIETREEL\\BACKUP\\");
  return rest;
}

void ExpectFile(const fake::FakeWindows& machine, const std::wstring& path, const FileAfter& expected,
                const FileBefore& before) {
  switch (expected.what) {
    case FileAfter::kAbsent:
      EXPECT_FALSE(machine.IsFile(path) || machine.IsDirectory(path));
      break;
    case FileAfter::kBytes:
      EXPECT_TRUE(machine.IsFile(path));
      EXPECT_EQ(machine.BytesOf(path), expected.bytes);
      break;
    case FileAfter::kUnchanged:
      EXPECT_EQ(machine.IsFile(path), before.isFile);
      EXPECT_EQ(machine.IsFile(path) || machine.IsDirectory(path), before.exists);
      EXPECT_EQ(machine.BytesOf(path), before.bytes);
      break;
  }
}

class BadInput : public ::testing::TestWithParam<Row> {};

TEST_P(BadInput, TellsWhatHappenedAndLosesNothing) {
  const Row& row = GetParam();
  HostsMachine m;
  row.arrange(m);
  const FileBefore hostsBefore = Capture(m.machine, m.hosts);
  const FileBefore backupBefore = Capture(m.machine, m.backup);
  const auto elsewhere = Elsewhere(m.machine);

  if (row.operation == Operation::kBlock) {
    Block(m.services, m.owner);
  } else {
    Restore(m.services, m.owner);
  }

  if (row.kind) {
    ASSERT_EQ(m.owner.Boxes().size(), 1u);
    EXPECT_EQ(m.owner.Boxes()[0].kind, *row.kind);
    EXPECT_EQ(fake::Narrow(m.owner.Boxes()[0].text), fake::Narrow(row.message));
  } else {
    EXPECT_TRUE(m.owner.Boxes().empty());
  }
  ExpectFile(m.machine, m.hosts, row.hosts, hostsBefore);
  ExpectFile(m.machine, m.backup, row.backup, backupBefore);
  EXPECT_EQ(Elsewhere(m.machine), elsewhere);

  // Nothing lost: the user's hosts file is still the start of the hosts file,
  // and whenever the hosts file differs from it, `backup` holds it.
  if (hostsBefore.isFile) {
    const std::string now = m.machine.BytesOf(m.hosts);
    ASSERT_TRUE(m.machine.IsFile(m.hosts));
    EXPECT_EQ(now.compare(0, hostsBefore.bytes.size(), hostsBefore.bytes), 0);
    if (now != hostsBefore.bytes) {
      EXPECT_EQ(m.machine.BytesOf(m.backup), hostsBefore.bytes);
    }
  } else if (m.machine.IsFile(m.hosts) && row.operation == Operation::kBlock) {
    EXPECT_EQ(m.machine.BytesOf(m.backup), HostsMachine::Marker());
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInput, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// The program folder's name never reaches a command line, and odd names do
// not stop the files in it from being found, written and read back.
TEST(BadProgramFolder, SpacesChineseAndPercentStillBlockAndRestore) {
  for (const std::wstring folder : {L"C:\\Program Files (x86)\\My Tools\\", L"C:\\软件\\广告屏蔽\\",
                                    L"C:\\100% free\\%PATH%\\"}) {
    fake::FakeWindows machine;
    fake::FakeWindow owner;
    machine.AddFile(folder + L"core.dat", Encoded(kList));
    machine.AddFile(fake::FakeWindows::kHostsPath, kUser);
    const Services services = machine.MakeServices(folder);

    Block(services, owner);
    EXPECT_EQ(machine.BytesOf(folder + L"backup"), kUser) << fake::Narrow(folder);
    EXPECT_EQ(machine.BytesOf(fake::FakeWindows::kHostsPath), kUser + kListOnDisk);
    Restore(services, owner);
    EXPECT_EQ(machine.BytesOf(fake::FakeWindows::kHostsPath), kUser);
    EXPECT_FALSE(machine.Exists(folder + L"backup"));
    for (const std::string& command : machine.Commands()) EXPECT_EQ(command.find('%'), std::string::npos);
  }
}

}  // namespace
}  // namespace quietreel
