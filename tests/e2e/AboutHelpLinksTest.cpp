// About and Help, and the pages the links and "检查更新" open.
#include <gtest/gtest.h>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"

namespace e2e {
namespace {

const std::wstring kAboutTitle = std::wstring(L"关于 ") + kTitleText;
const std::wstring kHelpTitle = std::wstring(L"帮助 ") + kTitleText;

const std::vector<ControlSpec> kAboutControls = {
    {-1, L"Static", nullptr, 14, 14, 20, 20, false, true}, {1014, L"Static", kTitleText, 42, 14, 185, 8, false},
    {-1, L"Static", nullptr, 19, 79, 163, 8, false},       {IDOK, L"Button", L"确定", 189, 75, 47, 14, true},
    {1015, L"SysLink", nullptr, 39, 36, 99, 10, true},     {1017, L"SysLink", nullptr, 39, 58, 109, 10, true},
    {1018, L"SysLink", nullptr, 39, 46, 99, 10, true},
};

const std::vector<ControlSpec> kHelpControls = {
    {-1, L"Button", L"注意事项", 15, 12, 380, 58, false},
    {-1, L"Static", L"1，关闭360或其它类似监控软件，或者提示”屏蔽程序“操作时，允许其操作。", 25, 26, 357, 14, false},
    {-1, L"Static",
     L"2，WIN7请以管理员身份及XP3兼容模式运行该程序，方法为右键“屏蔽程序”-“属性”-“兼容性”中有该二选项，勾上即可。", 25,
     47, 368, 16, false},
    {-1, L"Button", L"使用方法", 15, 76, 377, 55, false},
    {-1, L"Static", L" 清理浏览器的临时文件 ---->", 22, 90, 108, 11, false},
    {-1, L"Static", L"关闭浏览器 ---->", 134, 90, 66, 11, false},
    {-1, L"Static", L"运行程序(管理员身份) ---->", 204, 90, 106, 11, false},
    {-1, L"Static", L"点击\"屏蔽广告\"按钮", 314, 90, 74, 11, false},
    {-1, L"Button", L"常见问题", 15, 137, 381, 102, false},
    {-1, L"Static",
     L"1，优酷在屏蔽后播放有可能出现黑屏提示“广告无法播放了”，退出浏览器，按“注意事项 "
     L"2”方式运行程序。点击“常见问题按钮”，"
     L"然后点击“解决优酷黑屏”按钮即可。",
     23, 151, 357, 18, false},
    {-1, L"Static",
     L"2，屏蔽广告无效问题，首先检查有无权限，即是否为管理员身份登陆的电脑及运行程序，360等监控软件有无屏蔽程序阻止其操"
     L"作。"
     L"有权限及无权限问题后，按“注意事项 2”方式运行程序，点击“恢复广告”或者“全部重置”按钮后再点击“屏蔽广告”按钮。",
     23, 173, 368, 27, false},
    {-1, L"Static", nullptr, 23, 204, 368, 14, false},
    {-1, L"Static", L"4，有任何问题，随时联系我们，如果喜欢我们工作室出的程序，可以通过捐赠支持我们，祝您使用愉快！",
     23, 222, 368, 16, false},
    {1017, L"SysLink", nullptr, 122, 248, 131, 10, true},
    {-1, L"Static",
     L"附：清理浏览器临时文件方法：点“常见问题”-“清理临时文件”用程序自带实现清理。（或打开IE-工具-Internet选项-删除-"
     L"Internet临时文件-勾选删除）",
     25, 105, 357, 17, false},
};

// The addresses the stand-in browser was asked to open, one a line.
std::vector<std::string> OpenedPages() {
  std::string log = ReadBytes(Environment(L"QUIETREEL_E2E_URL_LOG")).value_or("");
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t end = log.find('\n'); end != std::string::npos; end = log.find('\n', start)) {
    pages.push_back(log.substr(start, end - start));
    start = end + 1;
  }
  return pages;
}

class AboutHelpLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Environment(L"QUIETREEL_E2E_URL_LOG").empty());
    WriteBytes(Environment(L"QUIETREEL_E2E_URL_LOG"), "");
    ASSERT_NE(program.Main(), nullptr);
  }

  HWND OpenFromMenu(int command) {
    Command(program.Main(), command);
    return WaitForDialog(program.Id(), program.Main());
  }

  // Waits for the browser to be asked for one more page, and gives it.
  std::string NextPage() {
    std::size_t seen = pages;
    if (!WaitUntil([&] { return OpenedPages().size() > seen; })) return "<none>";
    std::vector<std::string> opened = OpenedPages();
    pages = opened.size();
    return opened[seen];
  }

  Program program;
  std::size_t pages = 0;
};

TEST_F(AboutHelpLinks, AboutFromMenuBarAndSystemMenuIsOneDialog) {
  for (bool fromSystemMenu : {false, true}) {
    SCOPED_TRACE(fromSystemMenu ? "system menu" : "menu bar");
    HWND about = nullptr;
    if (fromSystemMenu) {
      ::PostMessageW(program.Main(), WM_SYSCOMMAND, 16, 0);
      about = WaitForDialog(program.Id(), program.Main());
    } else {
      about = OpenFromMenu(32775);
    }
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about), kAboutTitle);
    ExpectControls(about, kAboutControls);
    EXPECT_EQ(::GetDlgCtrlID(FocusOf(about)), IDOK);
    Command(about, IDOK);
    WaitClosed(about);
  }
}

TEST_F(AboutHelpLinks, HelpShowsItsNotesAndClosesWithEsc) {
  HWND help = OpenFromMenu(32777);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(Text(help), kHelpTitle);
  ExpectControls(help, kHelpControls);
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(help)), 1017) << "the link is the only tab stop";
  Key(help, VK_ESCAPE);
  WaitClosed(help);
  EXPECT_FALSE(program.EndsWithin(0ms));
}

TEST_F(AboutHelpLinks, LinksAndCheckForUpdatesOpenTheMakersPages) {
  HWND about = OpenFromMenu(32775);
  ASSERT_NE(about, nullptr);
  ClickAt(::GetDlgItem(about, 1015), 4, 4);
  EXPECT_EQ(NextPage(), "http://www.brassfen.example/");
  ClickAt(::GetDlgItem(about, 1018), 4, 4);
  EXPECT_EQ(NextPage(), "http://shop.brassfen.example/");
  ClickAt(::GetDlgItem(about, 1017), 4, 4);
  EXPECT_EQ(NextPage(), "http://weibo.brassfen.example/");
  // From the keyboard: Enter on the focused link.
  ::PostMessageW(about, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(about, 1015)), TRUE);
  ASSERT_TRUE(WaitUntil([&] { return ::GetDlgCtrlID(FocusOf(about)) == 1015; }));
  Key(about, VK_RETURN);
  EXPECT_EQ(NextPage(), "http://www.brassfen.example/");
  Command(about, IDOK);
  WaitClosed(about);

  Command(program.Main(), 32779);
  EXPECT_EQ(NextPage(), "http://www.brassfen.example/Download/?1-1.html");

  HWND help = OpenFromMenu(32777);
  ASSERT_NE(help, nullptr);
  ClickAt(::GetDlgItem(help, 1017), 4, 4);
  ::Sleep(3000);
  EXPECT_EQ(OpenedPages().size(), pages) << "the Help window's copyright link opens nothing";
  Key(help, VK_ESCAPE);
  WaitClosed(help);
}

}  // namespace
}  // namespace e2e
