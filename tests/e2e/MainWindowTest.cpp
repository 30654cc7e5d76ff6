// The main window as it opens, its menus, and the ways it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "Expect.h"
#include "Probe.h"
#include "Program.h"

namespace e2e {
namespace {

const std::vector<ControlSpec> kMainControls = {
    {IDOK, L"Button", L"屏蔽广告", 28, 49, 50, 14, true},
    {1016, L"Static", L"请查看帮助，任何问题欢迎联系我们，欢迎使用！", 37, 11, 180, 8, false},
    {1002, L"Button", L"恢复广告", 104, 49, 50, 14, true},
    {-1, L"Button", L"", 16, 23, 224, 61, false},
    {1008, L"Button", L"常见问题解决", 17, 87, 60, 14, true},
    {1003, L"Button", L"全部重置", 180, 49, 50, 14, true},
};

TEST(MainWindow, OpensWithTitleControlsInTabOrderAndFocusOnBlock) {
  Program program;
  HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Text(main), kTitleText);
  LONG style = ::GetWindowLongW(main, GWL_STYLE);
  LONG wanted = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_TRUE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  ExpectControls(main, kMainControls);
  EXPECT_EQ(::GetDlgCtrlID(FocusOf(main)), IDOK);
  LONG groupStyle = ::GetWindowLongW(Children(main)[3].hwnd, GWL_STYLE);
  EXPECT_EQ(groupStyle & BS_TYPEMASK, BS_GROUPBOX);
  LONG welcomeStyle = ::GetWindowLongW(::GetDlgItem(main, 1016), GWL_STYLE);
  EXPECT_EQ(welcomeStyle & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(::SendMessageW(main, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST(MainWindow, MenuBarAndSystemMenuCarryTheirCommands) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  std::vector<ProbeLine> menus = ProbeWindow(program.Main());
  std::vector<ProbeLine> bar(menus.begin(), std::find_if(menus.begin(), menus.end(), [](const ProbeLine& line) {
                               return line.path.compare(0, 4, L"sys ") == 0;
                             }));
  std::vector<ProbeLine> system;
  std::copy_if(menus.begin(), menus.end(), std::back_inserter(system),
               [](const ProbeLine& line) { return line.path.compare(0, 4, L"sys ") == 0; });
  std::vector<ProbeLine> expectedBar = {
      {L"bar 0", L"32779", L"检查更新"},
      {L"bar 1", L"popup", L"帮助"},
      {L"bar 1.0", L"32777", L"帮助"},
      {L"bar 1.1", L"32775", L"关于"},
  };
  EXPECT_EQ(bar, expectedBar);
  ASSERT_GE(system.size(), 3u) << "the system menu keeps its own entries";
  std::size_t n = system.size();
  EXPECT_EQ(system[n - 2].id, L"-");
  EXPECT_EQ(system[n - 1].id, L"16");
  EXPECT_EQ(system[n - 1].text, L"关于 Quietreel(&A)...");
}

TEST(MainWindow, KeepsOneIconForTheTitleBarTheTaskbarAndDragging) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  std::vector<ProbeLine> inside = ProbeWindow(program.Main());
  std::vector<ProbeLine> icons;
  std::copy_if(inside.begin(), inside.end(), std::back_inserter(icons),
               [](const ProbeLine& line) { return line.path.compare(0, 5, L"icon ") == 0; });
  std::vector<ProbeLine> expected = {
      {L"icon big", L"1", L""}, {L"icon small", L"1", L""}, {L"icon dragged", L"1", L""}, {L"icon same", L"1", L""}};
  EXPECT_EQ(icons, expected);
}

TEST(MainWindow, EscEndsTheProgram) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  Key(program.Main(), VK_ESCAPE);
  EXPECT_TRUE(program.EndsWithin(10s));
}

TEST(MainWindow, CloseBoxEndsTheProgram) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  ::PostMessageW(program.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(program.EndsWithin(10s));
}

// Ids 16 to 31 all mean the About entry; anything else is the system's.
TEST(MainWindow, SystemCommandsOfTheAboutEntryOpenAboutOthersKeepTheirMeaning) {
  Program program;
  HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  for (WPARAM id : {0x10, 0x1F}) {
    ::PostMessageW(main, WM_SYSCOMMAND, id, 0);
    HWND about = WaitForDialog(program.Id(), main);
    ASSERT_NE(about, nullptr) << "system command " << id;
    EXPECT_EQ(Text(about), std::wstring(L"关于 ") + kTitleText);
    Command(about, IDOK);
    WaitClosed(about);
  }
  ::PostMessageW(main, WM_SYSCOMMAND, 0x20, 0);
  EXPECT_TRUE(NoDialogAppears(program.Id(), main));
  ::PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; }));
  ::PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(main); }));
  EXPECT_FALSE(program.EndsWithin(0ms));
}

}  // namespace
}  // namespace e2e
