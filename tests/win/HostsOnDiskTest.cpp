// Block, Restore and Reset on the real hosts file of this Windows (under Wine,
// the prefix's), with core.dat and `backup` in a scratch program folder.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "hosts/HostsBlocker.h"
#include "hosts/HostsPaths.h"
#include "platform/win32/Win32Platform.h"

namespace quietreel {
namespace {

using testsupport::kProtection;
using testsupport::ProtectionOf;
using wintest::ReadBytes;
using wintest::WriteBytes;

constexpr char kUserHosts[] = "127.0.0.1 localhost\r\n::1 localhost\r\n";
constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Marker() {
  static constexpr char kMarker[] = "Brassfen\r\nwww.brassfen.example\r\nAny problem contact us!";
  return std::string(kMarker, sizeof kMarker);
}

class HostsOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (arrangesHosts_ && testsupport::HostsRefused()) GTEST_SKIP() << "the hosts file cannot be written here";
    savedHosts_ = ReadBytes(kHostsPath);
    ASSERT_TRUE(::CopyFileW((wintest::ExeDirectory() + L"core.dat").c_str(), coreDat_.c_str(), FALSE));
    auto plain = ReadBytes(wintest::SourceFile("data/blocklist.txt"));
    ASSERT_TRUE(plain);
    list_ = WithCrLf(*plain);
  }

  void TearDown() override {
    if (testsupport::HostsRefused()) return;
    ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
    if (savedHosts_) {
      WriteBytes(kHostsPath, *savedHosts_);
    } else {
      ::DeleteFileW(kHostsPath);
    }
  }

  void MakeClean(const std::string& user = kUserHosts) {
    ASSERT_TRUE(WriteBytes(kHostsPath, user));
    ::DeleteFileW(backup_.c_str());
  }
  void MakeNoHosts() {
    ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(kHostsPath);
  }
  // Reached the way a user reaches them, so the attributes are what this
  // system's `attrib` leaves.
  void MakeBlocked() {
    MakeClean();
    Block(services_, window_);
    ASSERT_EQ(ReadBytes(backup_), kUserHosts);
    window_.Clear();
  }
  void MakeOrphaned() {
    MakeBlocked();
    Reset(services_, window_);
    ASSERT_FALSE(ReadBytes(kHostsPath));
    window_.Clear();
  }

  void ExpectOnly(bool warning, const std::wstring& text) {
    EXPECT_TRUE(wintest::ToldOnly(window_, warning, text));
  }

  // attrib leaves the hosts file hidden, read-only and system; `backup` is
  // the program's own and keeps none of them.
  void ExpectHidden() {
    EXPECT_EQ(ProtectionOf(kHostsPath), kProtection);
    if (ReadBytes(backup_)) {
      EXPECT_EQ(ProtectionOf(backup_), 0u);
    }
  }

  wintest::ScratchFolder program_{L"quietreel-hosts"};
  std::wstring coreDat_ = program_.Path() + L"core.dat";
  std::wstring backup_ = program_.Path() + L"backup";
  win32::Win32Platform platform_{program_.Path()};
  Services services_ = platform_.MakeServices();
  wintest::RecordingWindow window_;
  std::optional<std::string> savedHosts_;
  std::string list_;
  bool arrangesHosts_ = true;
};

TEST_F(HostsOnDisk, BlockFromClean) {
  MakeClean();
  Block(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), kUserHosts + list_);
  EXPECT_EQ(ReadBytes(backup_), kUserHosts);
  ExpectHidden();
  ExpectOnly(false, kBlocked);
}

TEST_F(HostsOnDisk, BlockFromBlockedChangesNothing) {
  MakeBlocked();
  Block(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), kUserHosts + list_);
  EXPECT_EQ(ReadBytes(backup_), kUserHosts);
  ExpectHidden();
  ExpectOnly(true, L"广告已经屏蔽！");
}

TEST_F(HostsOnDisk, BlockFromNoHostsAndFromOrphaned) {
  MakeNoHosts();
  Block(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), list_);
  EXPECT_EQ(ReadBytes(backup_), Marker());
  ExpectHidden();
  ExpectOnly(false, kBlocked);

  window_.Clear();
  MakeOrphaned();
  Block(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), list_);
  EXPECT_EQ(ReadBytes(backup_), Marker());
  ExpectHidden();
  ExpectOnly(false, kBlocked);
}

TEST_F(HostsOnDisk, BlockKeepsTheLastUserEntryOnItsOwnLine) {
  MakeClean("127.0.0.1 localhost");
  Block(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), "127.0.0.1 localhost\r\n" + list_);
}

TEST_F(HostsOnDisk, RestoreFromBlockedAndFromOrphaned) {
  MakeBlocked();
  Restore(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), kUserHosts);
  EXPECT_FALSE(ReadBytes(backup_));
  EXPECT_FALSE(ReadBytes(kRestoreScratchPath));
  ExpectHidden();
  ExpectOnly(false, kRestored);

  window_.Clear();
  MakeOrphaned();
  Restore(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), kUserHosts);
  EXPECT_FALSE(ReadBytes(backup_));
  ExpectHidden();
  ExpectOnly(false, kRestored);
}

TEST_F(HostsOnDisk, RestoreWithoutBackupOnlySaysSo) {
  MakeClean();
  Restore(services_, window_);
  EXPECT_EQ(ReadBytes(kHostsPath), kUserHosts);
  ExpectOnly(false, L"广告已经恢复，感谢使用！");

  window_.Clear();
  MakeNoHosts();
  Restore(services_, window_);
  EXPECT_FALSE(ReadBytes(kHostsPath));
  ExpectOnly(false, L"广告已经恢复，感谢使用！");
}

TEST_F(HostsOnDisk, ResetFromEachState) {
  MakeClean();
  Reset(services_, window_);
  EXPECT_FALSE(ReadBytes(kHostsPath));
  ExpectOnly(false, kReset);

  window_.Clear();
  MakeBlocked();
  Reset(services_, window_);
  EXPECT_FALSE(ReadBytes(kHostsPath));
  EXPECT_EQ(ReadBytes(backup_), kUserHosts);
  ExpectOnly(false, kReset);

  for (int i = 0; i < 2; ++i) {  // from Orphaned, then from NoHosts
    window_.Clear();
    if (i == 1) ::DeleteFileW(backup_.c_str());
    Reset(services_, window_);
    EXPECT_FALSE(ReadBytes(kHostsPath));
    EXPECT_EQ(ReadBytes(backup_).has_value(), i == 0);
    ExpectOnly(false, kReset);
  }
}

// Each button with and without the right to change the hosts file. Without
// it (scripts/test-unprivileged.sh: the file and its folder belong to
// another user) each refuses with its warning, and neither the hosts file,
// as found, nor `backup` changes by a byte or an attribute.
struct RightsRow {
  const char* name;
  void (*run)(const Services&, Window&);
  bool fromBlocked;  // else from a clean hosts file
  const wchar_t* notice;
  const char* hostsAfter;  // null: removed
  bool listAppended;
  const char* backupAfter;  // null: removed
  const wchar_t* refusal;
};

void PrintTo(const RightsRow& row, std::ostream* out) { *out << row.name; }

const RightsRow kRightsRows[] = {
    {"Block", Block, false, kBlocked, kUserHosts, true, kUserHosts, kInterrupted},
    {"Restore", Restore, true, kRestored, kUserHosts, false, nullptr, kRestoreFailed},
    {"Reset", Reset, true, kReset, nullptr, false, kUserHosts, kResetFailed},
};

class HostsRights : public HostsOnDisk, public ::testing::WithParamInterface<RightsRow> {
 protected:
  HostsRights() { arrangesHosts_ = false; }
};

TEST_P(HostsRights, EachButtonWithAndWithoutTheRight) {
  const RightsRow& row = GetParam();
  const bool refused = testsupport::HostsRefused();
  if (!refused) {
    ASSERT_TRUE(WriteBytes(kHostsPath, row.fromBlocked ? kUserHosts + list_ : kUserHosts));
    if (row.fromBlocked) {
      ASSERT_TRUE(testsupport::SetAttributes(kHostsPath, kProtection));
    }
  }
  if (row.fromBlocked) {
    ASSERT_TRUE(WriteBytes(backup_, kUserHosts));
  } else {
    ::DeleteFileW(backup_.c_str());
  }
  const std::optional<std::string> hostsBefore = ReadBytes(kHostsPath);
  const DWORD attributesBefore = ::GetFileAttributesW(kHostsPath);
  const std::optional<std::string> backupBefore = ReadBytes(backup_);
  ASSERT_TRUE(hostsBefore);

  row.run(services_, window_);
  if (refused) {
    ExpectOnly(true, row.refusal);
    EXPECT_EQ(ReadBytes(kHostsPath), hostsBefore);
    EXPECT_EQ(::GetFileAttributesW(kHostsPath), attributesBefore);
    EXPECT_EQ(ReadBytes(backup_), backupBefore);
    EXPECT_FALSE(ReadBytes(kRestoreScratchPath));
    return;
  }
  ExpectOnly(false, row.notice);
  if (row.hostsAfter) {
    EXPECT_EQ(ReadBytes(kHostsPath), row.hostsAfter + (row.listAppended ? list_ : ""));
    EXPECT_EQ(ProtectionOf(kHostsPath), kProtection);
  } else {
    EXPECT_FALSE(ReadBytes(kHostsPath));
  }
  EXPECT_EQ(ReadBytes(backup_), row.backupAfter ? std::optional<std::string>(row.backupAfter) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Buttons, HostsRights, ::testing::ValuesIn(kRightsRows),
                         [](const ::testing::TestParamInfo<RightsRow>& info) { return info.param.name; });

}  // namespace
}  // namespace quietreel
