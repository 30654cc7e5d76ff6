// Every window of the release at the present DPI: its title, where the focus
// starts and where Tab takes it, that each text fits its control, and a
// screenshot; the main window's menus and icons, and the ways it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Disk.h"
#include "Expect.h"
#include "Pages.h"
#include "Probe.h"
#include "Program.h"
#include "res/resource.h"

namespace e2e {
namespace {

using namespace expected;

struct WindowRow {
  const char* name;
  int command;  // of the main window, opening it; 0 for the main window
  const wchar_t* title;
  std::vector<int> tabOrder;  // from the control that has the focus first
};
void PrintTo(const WindowRow& row, std::ostream* out) { *out << row.name; }

const WindowRow kWindows[] = {
    {"Main", 0, kTitle, {IDOK, IDC_RESTORE, IDC_OPEN_FAQ, IDC_RESET}},
    {"Faq", IDC_OPEN_FAQ, kFaqTitle, {IDOK, IDCANCEL, IDC_REPAIR_BLACK_SCREEN, IDC_CLEAN_TEMP_FILES}},
    {"About", ID_MENU_ABOUT, kAboutTitle, {IDOK, IDC_LINK_WEBSITE, IDC_LINK_MICROBLOG, IDC_LINK_SHOP}},
    {"Help", ID_MENU_HELP, kHelpTitle, {IDC_HELP_COPYRIGHT}},
};

class EveryWindow : public ::testing::TestWithParam<WindowRow> {};

TEST_P(EveryWindow, HasItsTitleFocusAndTabOrderFitsItsTextsAndClosesWithEsc) {
  const WindowRow& row = GetParam();
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  HWND window = program.Main();
  if (row.command) {
    Command(program.Main(), row.command);
    window = WaitForDialog(program.Id(), program.Main());
    ASSERT_NE(window, nullptr);
  }
  EXPECT_EQ(Text(window), row.title);
  ExpectTextsFit(window);
  Shoot(window, std::wstring(row.name, row.name + std::strlen(row.name)));
  EXPECT_EQ(TabOrder(window), row.tabOrder);
  if (!row.command) return;
  Key(window, VK_ESCAPE);
  WaitClosed(window);
  EXPECT_FALSE(program.EndsWithin(0ms));
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowRow>& info) { return std::string(info.param.name); });

// Read inside the program: Wine shows no other process's menus or icons.
TEST(MainWindow, HasItsMenusAndOneIconForTitleBarTaskbarAndDragging) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  std::vector<ProbeLine> inside = ProbeWindow(program.Main());
  auto line = [&](const std::wstring& path) {
    auto found = std::find_if(inside.begin(), inside.end(), [&](const ProbeLine& l) { return l.path == path; });
    return found == inside.end() ? ProbeLine{path, L"<none>", L""} : *found;
  };
  EXPECT_EQ(line(L"bar 0"), (ProbeLine{L"bar 0", std::to_wstring(ID_MENU_CHECK_UPDATE), L"检查更新"}));
  EXPECT_EQ(line(L"bar 1"), (ProbeLine{L"bar 1", L"popup", L"帮助"}));
  EXPECT_EQ(line(L"bar 1.0"), (ProbeLine{L"bar 1.0", std::to_wstring(ID_MENU_HELP), L"帮助"}));
  EXPECT_EQ(line(L"bar 1.1"), (ProbeLine{L"bar 1.1", std::to_wstring(ID_MENU_ABOUT), L"关于"}));
  // The system menu keeps its own entries and ends with a separator and About.
  std::vector<ProbeLine> system;
  std::copy_if(inside.begin(), inside.end(), std::back_inserter(system),
               [](const ProbeLine& l) { return l.path.compare(0, 4, L"sys ") == 0; });
  ASSERT_GE(system.size(), 3u);
  EXPECT_EQ(system[system.size() - 2].id, L"-");
  EXPECT_EQ(system.back().id, std::to_wstring(IDM_ABOUTBOX));
  EXPECT_EQ(system.back().text, kSystemMenuAbout);
  for (const wchar_t* icon : {L"icon big", L"icon small", L"icon dragged", L"icon same"})
    EXPECT_EQ(line(icon).id, L"1") << ::testing::PrintToString(std::wstring(icon));
}

// The system sets the low four bits of a system command as it pleases: the
// About entry is any of 16 to 31, and the system's own commands still work.
TEST(MainWindow, SystemMenuOpensAboutAndKeepsTheSystemsCommands) {
  Program program;
  HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
  HWND about = WaitForDialog(program.Id(), main);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Text(about), kAboutTitle);
  Command(about, IDOK);
  WaitClosed(about);
  ::PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; }));
}

TEST(MainWindow, EscAndTheCloseBoxEndTheProgram) {
  for (bool closeBox : {false, true}) {
    Program program;
    ASSERT_NE(program.Main(), nullptr);
    if (closeBox) {
      ::PostMessageW(program.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      Key(program.Main(), VK_ESCAPE);
    }
    EXPECT_TRUE(program.EndsWithin(10s)) << (closeBox ? "close box" : "Esc");
  }
}

// Each About link opens its page, on a click and on Enter, "检查更新" the
// download page, and the Help window's copyright line nothing.
TEST(Links, OpenTheMakersPagesAndCheckForUpdatesItsDownloadPage) {
  Program program;
  ASSERT_NE(program.Main(), nullptr);
  std::vector<std::string> addresses;
  for (const OpenedPage& page : OpenEveryPage(program)) addresses.push_back(page.address);
  EXPECT_EQ(addresses, (std::vector<std::string>{kWebsitePage, kShopPage, kMicroblogPage, kWebsitePage, kUpdatePage}));
}

}  // namespace
}  // namespace e2e
