// The three buttons and Enter, read from the message boxes and the files.
#include <gtest/gtest.h>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"

namespace e2e {
namespace {

constexpr wchar_t kBlocked[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
constexpr wchar_t kAlreadyBlocked[] = L"广告已经屏蔽！";
constexpr wchar_t kNoDataFile[] = L"数据文件不存存，屏蔽失败！";
constexpr wchar_t kRestored[] = L"解除广告屏蔽成功，请重启浏览器查看效果！";
constexpr wchar_t kAlreadyRestored[] = L"广告已经恢复，感谢使用！";
constexpr wchar_t kReset[] = L"重置成功，请按帮助说明里步骤重新屏蔽广告！";
constexpr wchar_t kInterrupted[] = L"操作过当中被中断，请检查是否有权限创建文件！";
constexpr wchar_t kRestoreFailed[] = L"恢复失败，请检查是否有权限修改文件！";
constexpr wchar_t kResetFailed[] = L"重置失败，请检查是否有权限修改文件！";
const std::string kHosts = "127.0.0.1 localhost\r\n::1 localhost\r\n";
const std::string kMarker = std::string("Brassfen\r\nwww.brassfen.example\r\nAny problem contact us!") + '\0';

// Compares file contents, naming the first byte that differs rather than
// printing both files.
::testing::AssertionResult HasBytes(const std::wstring& path, const std::string& expected) {
  std::optional<std::string> actual = ReadBytes(path);
  if (!actual) return ::testing::AssertionFailure() << "cannot read " << ::testing::PrintToString(path);
  if (*actual == expected) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual->size() && at < expected.size() && (*actual)[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << ::testing::PrintToString(path) << " has " << actual->size()
                                       << " bytes, expected " << expected.size() << "; they differ from byte " << at
                                       << ": " << ::testing::PrintToString(actual->substr(at, 40));
}

// The list follows the user's last line; a line break is put between them
// only when that line had none.
::testing::AssertionResult IsExtendedHosts(const std::string& before, const std::string& list) {
  bool needsBreak = !before.empty() && before.back() != '\n';
  std::string expected = before + (needsBreak ? "\r\n" : "") + list;
  return HasBytes(kHostsPath, expected);
}

class HostsButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    if (arrangesHosts && testsupport::HostsRefused()) GTEST_SKIP() << "the hosts file cannot be written here";
    ASSERT_NE(program.Main(), nullptr);
  }

  // The list as the hosts file gets it: each LF written as CR LF.
  static std::string ListBytes() {
    std::optional<std::string> plain = ReadBytes(Environment(L"QUIETREEL_E2E_BLOCKLIST"));
    EXPECT_TRUE(plain.has_value()) << "QUIETREEL_E2E_BLOCKLIST";
    std::string bytes;
    for (char c : plain.value_or("")) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    return bytes;
  }

  // Runs a command of the main window and answers the one box it shows.
  MessageBoxView Run(int command) {
    Command(program.Main(), command);
    return AnswerBox();
  }

  MessageBoxView AnswerBox() {
    MessageBoxView box = WaitForMessageBox(program.Id(), program.Main());
    Answer(box, IDOK);
    return box;
  }

  void SetHosts(const std::optional<std::string>& bytes) {
    ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
    if (bytes) {
      ASSERT_TRUE(WriteBytes(kHostsPath, *bytes));
    } else {
      ::DeleteFileW(kHostsPath);
    }
  }

  std::wstring Backup() const { return program.Folder() + L"backup"; }

  // Block shows its notice before it hides the hosts file, so the
  // attributes are awaited once the box is answered.
  static bool IsProtected(const wchar_t* path) {
    return WaitUntil([&] { return ProtectionOf(path) == testsupport::kProtection; });
  }

  bool arrangesHosts = true;
  HostsGuard hosts;
  Program program;
};

void ExpectNotice(const MessageBoxView& box, const std::wstring& text) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, L"Quietreel");
  EXPECT_FALSE(box.icon);
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"1"});
}

void ExpectWarning(const MessageBoxView& box, const std::wstring& text) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, L"Quietreel");
  EXPECT_TRUE(box.icon);
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"1"});
}

TEST_F(HostsButtons, BlockEnterRestoreAndResetFromAHostsFile) {
  SetHosts(kHosts);
  ExpectNotice(Run(IDOK), kBlocked);
  EXPECT_TRUE(IsExtendedHosts(kHosts, ListBytes()));
  EXPECT_TRUE(HasBytes(Backup(), kHosts));
  EXPECT_TRUE(IsProtected(kHostsPath));
  EXPECT_EQ(ProtectionOf(Backup()), 0u);

  // Enter is the default button, "屏蔽广告", wherever the focus is not on
  // another push button.
  ::SetForegroundWindow(program.Main());
  Key(program.Main(), VK_RETURN);
  ExpectWarning(AnswerBox(), kAlreadyBlocked);
  EXPECT_TRUE(IsExtendedHosts(kHosts, ListBytes()));
  EXPECT_TRUE(HasBytes(Backup(), kHosts));

  ExpectNotice(Run(1002), kRestored);
  EXPECT_TRUE(HasBytes(kHostsPath, kHosts));
  EXPECT_EQ(ProtectionOf(kHostsPath), testsupport::kProtection);
  EXPECT_FALSE(IsFile(Backup()));
  ExpectNotice(Run(1002), kAlreadyRestored);
  EXPECT_TRUE(HasBytes(kHostsPath, kHosts));

  ExpectNotice(Run(1003), kReset);
  EXPECT_FALSE(IsFile(kHostsPath));
  ExpectNotice(Run(1003), kReset);
  EXPECT_FALSE(program.EndsWithin(0ms)) << "no button ends the window";
}

TEST_F(HostsButtons, BlockWithoutHostsFileSavesTheMarkerWhichRestoreBringsBack) {
  SetHosts(std::nullopt);
  ExpectNotice(Run(IDOK), kBlocked);
  EXPECT_TRUE(HasBytes(kHostsPath, ListBytes()));
  EXPECT_TRUE(HasBytes(Backup(), kMarker));
  ExpectNotice(Run(1002), kRestored);
  EXPECT_TRUE(HasBytes(kHostsPath, kMarker));
  EXPECT_FALSE(IsFile(Backup()));
}

TEST_F(HostsButtons, BlockWithoutDataFileWarnsAndChangesNothing) {
  SetHosts(kHosts);
  ASSERT_TRUE(::DeleteFileW((program.Folder() + L"core.dat").c_str()));
  ExpectWarning(Run(IDOK), kNoDataFile);
  EXPECT_TRUE(HasBytes(kHostsPath, kHosts));
  EXPECT_FALSE(IsFile(Backup()));
}

// The boxes are captioned with the program's file name, whatever it is.
TEST(HostsCaption, IsTheFileNameOfTheProgram) {
  HostsGuard hosts;
  Program program(L"广告屏蔽.v2.exe");
  ASSERT_NE(program.Main(), nullptr);
  Command(program.Main(), 1003);
  MessageBoxView box = WaitForMessageBox(program.Id(), program.Main());
  Answer(box, IDOK);
  EXPECT_EQ(box.caption, L"广告屏蔽.v2");
  EXPECT_EQ(box.text, testsupport::HostsRefused() ? kResetFailed : kReset);
}

// Each button with and without the right to change the hosts file, as in
// tests/win/HostsOnDiskTest.cpp: without it each refuses with its warning,
// and the hosts file, as found, and `backup` keep every byte.
struct RightsRow {
  const char* name;
  int command;
  bool fromBlocked;
  const wchar_t* notice;
  const wchar_t* refusal;
};
const RightsRow kRightsRows[] = {
    {"Block", IDOK, false, kBlocked, kInterrupted},
    {"Restore", 1002, true, kRestored, kRestoreFailed},
    {"Reset", 1003, true, kReset, kResetFailed},
};

class HostsRights : public HostsButtons {
 protected:
  HostsRights() { arrangesHosts = false; }
};

TEST_F(HostsRights, EachButtonWithAndWithoutTheRight) {
  const bool refused = testsupport::HostsRefused();
  for (const RightsRow& row : kRightsRows) {
    SCOPED_TRACE(row.name);
    if (!refused) {
      SetHosts(row.fromBlocked ? kHosts + ListBytes() : kHosts);
      if (row.fromBlocked) testsupport::SetAttributes(kHostsPath, testsupport::kProtection);
    }
    if (row.fromBlocked) {
      ASSERT_TRUE(WriteBytes(Backup(), kHosts));
    } else {
      ::DeleteFileW(Backup().c_str());
    }
    const std::optional<std::string> hostsBefore = ReadBytes(kHostsPath);
    const DWORD attributesBefore = Attributes(kHostsPath);
    const std::optional<std::string> backupBefore = ReadBytes(Backup());
    ASSERT_TRUE(hostsBefore);

    MessageBoxView box = Run(row.command);
    if (refused) {
      ExpectWarning(box, row.refusal);
      // A refused Block takes its `backup` away once the box is answered.
      WaitUntil([&] { return ReadBytes(Backup()) == backupBefore; });
      EXPECT_TRUE(HasBytes(kHostsPath, *hostsBefore));
      EXPECT_EQ(Attributes(kHostsPath), attributesBefore);
      EXPECT_EQ(ReadBytes(Backup()), backupBefore);
      continue;
    }
    ExpectNotice(box, row.notice);
    if (row.command == 1003) {
      EXPECT_FALSE(IsFile(kHostsPath));
    } else {
      EXPECT_TRUE(row.command == IDOK ? IsExtendedHosts(kHosts, ListBytes()) : HasBytes(kHostsPath, kHosts));
      EXPECT_TRUE(IsProtected(kHostsPath));
    }
    EXPECT_EQ(ReadBytes(Backup()), row.command == 1002 ? std::nullopt : std::optional<std::string>(kHosts));
  }
}

}  // namespace
}  // namespace e2e
