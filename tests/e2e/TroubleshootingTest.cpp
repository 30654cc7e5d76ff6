// The troubleshooting dialog and its two repairs, on folders built under
// the prefix's AppData and INetCache.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"

namespace e2e {
namespace {

constexpr wchar_t kRepaired[] = L"恭喜您，黑屏问题解决成功，请重新打开浏览器观看，祝您愉快！";
constexpr wchar_t kNothingToRepair[] = L"未出现过优酷黑屏问题！";
constexpr wchar_t kCleanupQuestion[] = L"删除临时文件需要一段时间，确定继续?";
constexpr wchar_t kCleaning[] = L"临时文件清理中，请您耐心等候...";
constexpr wchar_t kCleaned[] = L"删除临时文件成功！";
constexpr int kRepairButton = 1008;
constexpr int kCleanupButton = 1009;
constexpr int kStatusLine = 1019;

const std::vector<ControlSpec> kFaqControls = {
    {IDOK, L"Button", L"确定", 91, 73, 50, 14, true},
    {IDCANCEL, L"Button", L"取消", 156, 73, 50, 14, true},
    {1008, L"Button", L"解决优酷黑屏问题", 18, 21, 76, 14, true},
    {-1, L"Static", L"其它问题陆续更新中，欢迎大家给我们反馈新问题！", 18, 56, 196, 8, false},
    {1018, L"Static", L"请关闭浏览器及正在观看的视频以保证能解决出现的问题！", 17, 40, 216, 8, false},
    {1009, L"Button", L"清理IE临时文件", 100, 21, 66, 14, true},
    {1019, L"Static", L"", 20, 9, 181, 10, false},
};

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
    Command(program.Main(), 1008);
    faq = WaitForDialog(program.Id(), program.Main());
    ASSERT_NE(faq, nullptr);
  }

  MessageBoxView Press(int button) {
    Command(faq, button);
    return WaitForMessageBox(program.Id(), faq);
  }

  std::wstring Status() const { return Text(::GetDlgItem(faq, kStatusLine)); }

  Program program;
  HWND faq = nullptr;
  const std::wstring sharedObjects = KnownFolder(CSIDL_APPDATA) + L"\\Macromedia\\Flash Player\\#SharedObjects";
  const std::wstring entry = sharedObjects + L"\\K7Q2ZL3D\\static.youku.com";
  const std::wstring neighbour = sharedObjects + L"\\K7Q2ZL3D\\v.youku.com\\settings.sol";
  const std::wstring cache = KnownFolder(CSIDL_INTERNET_CACHE);
  const std::wstring cached = cache + L"\\Content.IE5\\E2E\\page[1].htm";
};

void ExpectNotice(const MessageBoxView& box, const std::wstring& text) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, L"Quietreel");
  EXPECT_FALSE(box.icon);
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"1"});
}

TEST_F(Troubleshooting, OpensOverTheMainWindowWithFocusOnOk) {
  EXPECT_EQ(Text(faq), L"常见问题列表");
  ExpectControls(faq, kFaqControls);
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(faq)), IDOK);
}

TEST_F(Troubleshooting, BlackScreenRepairLeavesALockedEmptyFileAndCanRunAgain) {
  ASSERT_TRUE(MakeFile(entry + L"\\player.sol", "sol"));
  ASSERT_TRUE(MakeFile(entry + L"\\deep\\locked.sol", "sol"));
  ::SetFileAttributesW((entry + L"\\deep\\locked.sol").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(MakeFile(neighbour, "keep"));

  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    MessageBoxView box = Press(kRepairButton);
    ExpectNotice(box, kRepaired);
    Answer(box, IDOK);
    EXPECT_TRUE(IsFile(entry));
    EXPECT_EQ(ReadBytes(entry), std::string());
    EXPECT_EQ(ProtectionOf(entry), testsupport::kProtection);
    EXPECT_EQ(ReadBytes(neighbour), std::string("keep"));
  }
}

TEST_F(Troubleshooting, BlackScreenRepairWithoutTheEntrySaysSoAndCreatesNothing) {
  ASSERT_TRUE(MakeFile(neighbour, "keep"));
  MessageBoxView box = Press(kRepairButton);
  ExpectNotice(box, kNothingToRepair);
  Answer(box, IDOK);
  EXPECT_EQ(Attributes(entry), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadBytes(neighbour), std::string("keep"));
}

TEST_F(Troubleshooting, CleanupAnsweredCancelDeletesNothing) {
  ASSERT_TRUE(MakeFile(cached, "<html>"));
  ASSERT_TRUE(MakeFile(neighbour, "keep"));
  MessageBoxView question = Press(kCleanupButton);
  EXPECT_EQ(question.caption, L"提示");
  EXPECT_EQ(question.text, kCleanupQuestion);
  EXPECT_EQ(question.buttons, (std::vector<std::wstring>{L"1", L"2"}));
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
  Answer(Press(kCleanupButton), IDOK);
  MessageBoxView done = WaitForMessageBox(program.Id(), faq);
  ExpectNotice(done, kCleaned);
  EXPECT_EQ(Status(), kCleaning) << "the status line stays while the outcome is shown";
  Answer(done, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return Status().empty(); }));
  EXPECT_FALSE(IsFile(cached));
  EXPECT_FALSE(IsFile(neighbour));
  EXPECT_FALSE(IsDirectory(sharedObjects));
}

// Enter is OK here, and OK and Cancel only close the dialog.
TEST_F(Troubleshooting, EnterOkAndCancelCloseWithoutRepairing) {
  ASSERT_TRUE(MakeFile(entry + L"\\player.sol", "sol"));
  ASSERT_TRUE(MakeFile(cached, "<html>"));
  Key(faq, VK_RETURN);
  WaitClosed(faq);
  Open();
  Command(faq, IDOK);
  WaitClosed(faq);
  Open();
  Command(faq, IDCANCEL);
  WaitClosed(faq);
  EXPECT_TRUE(NoDialogAppears(program.Id(), program.Main()));
  EXPECT_TRUE(IsDirectory(entry));
  EXPECT_TRUE(IsFile(cached));
}

}  // namespace
}  // namespace e2e
