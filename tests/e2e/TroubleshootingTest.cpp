// The troubleshooting dialog and its two repairs, on folders built under
// the prefix's AppData and INetCache.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <set>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"
#include "res/resource.h"

namespace e2e {
namespace {

using namespace expected;

class Troubleshooting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(program.Main(), nullptr);
    RemoveTree(sharedObjects);
    Open();
  }
  void TearDown() override {
    RemoveTree(sharedObjects);
    RemoveTree(cache + L"\\Content.IE5\\E2E");
  }

  void Open() {
    Command(program.Main(), IDC_OPEN_FAQ);
    faq = WaitForDialog(program.Id(), program.Main());
    ASSERT_NE(faq, nullptr);
  }

  MessageBoxView Press(int button) {
    Command(faq, button);
    return WaitForMessageBox(program.Id(), faq);
  }

  std::wstring Status() const { return Text(::GetDlgItem(faq, IDC_FAQ_STATUS)); }

  Program program;
  HWND faq = nullptr;
  const std::wstring sharedObjects = KnownFolder(CSIDL_APPDATA) + L"\\" + kFlashSharedObjects;
  const std::wstring entry = sharedObjects + L"\\K7Q2ZL3D\\" + kVideoSiteStaticHost;
  const std::wstring neighbour = sharedObjects + L"\\K7Q2ZL3D\\v.youku.com\\settings.sol";
  const std::wstring cache = KnownFolder(CSIDL_INTERNET_CACHE);
  const std::wstring cached = cache + L"\\Content.IE5\\E2E\\page[1].htm";
};

TEST_F(Troubleshooting, BlackScreenRepairLeavesALockedEmptyFileAndCanRunAgain) {
  ASSERT_TRUE(MakeFile(entry + L"\\player.sol", "sol"));
  ASSERT_TRUE(MakeFile(entry + L"\\deep\\locked.sol", "sol"));
  ::SetFileAttributesW((entry + L"\\deep\\locked.sol").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(MakeFile(neighbour, "keep"));

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    MessageBoxView box = Press(IDC_REPAIR_BLACK_SCREEN);
    ExpectBox(box, L"Quietreel", kRepaired, false);
    Answer(box, IDOK);
    EXPECT_TRUE(IsFile(entry));
    EXPECT_EQ(ReadBytes(entry), std::string());
    EXPECT_EQ(ProtectionOf(entry), testsupport::kProtection);
    EXPECT_EQ(ReadBytes(neighbour), std::string("keep"));
  }
}

TEST_F(Troubleshooting, BlackScreenRepairWithoutTheEntrySaysSoAndCreatesNothing) {
  ASSERT_TRUE(MakeFile(neighbour, "keep"));
  MessageBoxView box = Press(IDC_REPAIR_BLACK_SCREEN);
  ExpectBox(box, L"Quietreel", kNothingToRepair, false);
  Answer(box, IDOK);
  EXPECT_EQ(Attributes(entry), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadBytes(neighbour), std::string("keep"));
}

TEST_F(Troubleshooting, CleanupAnsweredCancelDeletesNothing) {
  ASSERT_TRUE(MakeFile(cached, "<html>"));
  ASSERT_TRUE(MakeFile(neighbour, "keep"));
  MessageBoxView question = Press(IDC_CLEAN_TEMP_FILES);
  EXPECT_EQ(question.caption, kCleanupCaption);
  EXPECT_EQ(question.text, kCleanupQuestion);
  EXPECT_EQ(question.buttons, (std::vector<std::wstring>{std::to_wstring(IDOK), std::to_wstring(IDCANCEL)}));
  Shoot(question.hwnd, L"cleanup-question");
  Answer(question, IDCANCEL);
  EXPECT_TRUE(NoDialogAppears(program.Id(), faq));
  EXPECT_TRUE(IsFile(cached));
  EXPECT_TRUE(IsFile(neighbour));
  EXPECT_EQ(Status(), L"");
}

TEST_F(Troubleshooting, CleanupAnsweredOkPurgesCacheAndSharedObjectsShowingItsStatus) {
  ASSERT_TRUE(MakeFile(cached, "<html>"));
  ASSERT_TRUE(MakeFile(neighbour, "keep"));
  ::SetFileAttributesW(neighbour.c_str(), FILE_ATTRIBUTE_READONLY);
  Answer(Press(IDC_CLEAN_TEMP_FILES), IDOK);
  MessageBoxView done = WaitForMessageBox(program.Id(), faq);
  ExpectBox(done, L"Quietreel", kCleaned, false);
  EXPECT_EQ(Status(), kCleaning) << "the status line stays while the outcome is shown";
  Answer(done, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return Status().empty(); }));
  EXPECT_FALSE(IsFile(cached));
  EXPECT_FALSE(IsFile(neighbour));
  EXPECT_FALSE(IsDirectory(sharedObjects));
}

// A cache of many files: the status line counts them while they go, and
// its text can be asked for all along, so the dialog takes its messages
// (a dialog that took none would answer only once the purge was over, with
// its last count); its buttons are off until the end.
TEST_F(Troubleshooting, LongCleanupCountsItsFilesAndKeepsTheWindowAnswering) {
  const std::wstring many = cache + L"\\Content.IE5\\E2E\\many";
  for (int i = 0; i < 8000; ++i)
    ASSERT_TRUE(MakeFile(many + std::to_wstring(i / 100) + L"\\f" + std::to_wstring(i), "x"));
  Answer(Press(IDC_CLEAN_TEMP_FILES), IDOK);
  std::set<std::wstring> counts;
  bool buttonsOff = false;
  for (const DWORD began = ::GetTickCount(); !FindDialog(program.Id(), faq) && ::GetTickCount() - began < 60000;) {
    const std::wstring status = Status();
    if (status.find(L"已删除") == std::wstring::npos) continue;
    if (counts.empty()) {
      ExpectTextsFit(faq);
      Shoot(faq, L"cleanup-progress");
    }
    counts.insert(status);
    buttonsOff = buttonsOff || !::IsWindowEnabled(::GetDlgItem(faq, IDC_CLEAN_TEMP_FILES));
  }
  MessageBoxView done = WaitForMessageBox(program.Id(), faq);
  ExpectBox(done, L"Quietreel", kCleaned, false);
  Answer(done, IDOK);
  EXPECT_GE(counts.size(), 2u) << "the count was not seen to grow while the files went";
  EXPECT_TRUE(buttonsOff);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(faq, IDC_CLEAN_TEMP_FILES)) != FALSE; }));
  EXPECT_FALSE(IsDirectory(many + L"0"));
}

// No click reaches the main window while the dialog is up, but another
// program can post it a command; one posted while the cleanup purges (and
// lets messages through) must not run nested in it: Reset would delete the
// hosts file mid-purge.
TEST_F(Troubleshooting, CommandPostedToTheMainWindowDuringTheCleanupDoesNotRun) {
  HostsGuard guard;
  const std::optional<std::string> hosts = ReadBytes(kHostsPath);
  const std::wstring many = cache + L"\\Content.IE5\\E2E\\many";
  for (int i = 0; i < 4000; ++i)
    ASSERT_TRUE(MakeFile(many + std::to_wstring(i / 100) + L"\\f" + std::to_wstring(i), "x"));
  Answer(Press(IDC_CLEAN_TEMP_FILES), IDOK);
  ASSERT_TRUE(WaitUntil([&] { return Status().find(L"已删除") != std::wstring::npos; }));
  Command(program.Main(), IDC_RESET);
  MessageBoxView done = WaitForMessageBox(program.Id(), faq);
  ExpectBox(done, L"Quietreel", kCleaned, false);
  Answer(done, IDOK);
  EXPECT_TRUE(NoDialogAppears(program.Id(), program.Main(), faq));
  EXPECT_EQ(ReadBytes(kHostsPath), hosts);
  EXPECT_FALSE(IsDirectory(many + L"0"));
}

// Enter is OK here: it closes the dialog without repairing anything.
TEST_F(Troubleshooting, EnterClosesWithoutRepairing) {
  ASSERT_TRUE(MakeFile(entry + L"\\player.sol", "sol"));
  ASSERT_TRUE(MakeFile(cached, "<html>"));
  Key(faq, VK_RETURN);
  WaitClosed(faq);
  EXPECT_TRUE(NoDialogAppears(program.Id(), program.Main()));
  EXPECT_TRUE(IsDirectory(entry));
  EXPECT_TRUE(IsFile(cached));
}

}  // namespace
}  // namespace e2e
