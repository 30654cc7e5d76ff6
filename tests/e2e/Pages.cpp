#include "Pages.h"

#include "Disk.h"
#include "Expect.h"
#include "Ui.h"
#include "res/resource.h"

namespace e2e {
namespace {

std::wstring Log() { return Environment(L"QUIETREEL_E2E_URL_LOG"); }

// One line of the log a page: its address, a tab and its opener.
std::vector<OpenedPage> OpenedPages() {
  const std::string log = ReadBytes(Log()).value_or("");
  std::vector<OpenedPage> pages;
  for (std::size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = log.substr(start, end - start);
    const std::size_t tab = line.find('\t');
    pages.push_back(tab == std::string::npos ? OpenedPage{line, "<none>"}
                                             : OpenedPage{line.substr(0, tab), line.substr(tab + 1)});
  }
  return pages;
}

}  // namespace

std::vector<OpenedPage> OpenEveryPage(const Program& program) {
  if (!WriteBytes(Log(), "") || !program.Main()) return {};
  std::size_t seen = 0;
  // Waits for the page the last step opened, so each is counted once.
  auto awaitPage = [&] {
    if (WaitUntil([&] { return OpenedPages().size() > seen; })) ++seen;
  };
  Command(program.Main(), ID_MENU_ABOUT);
  HWND about = WaitForDialog(program.Id(), program.Main());
  if (!about) return OpenedPages();
  for (int link : {IDC_LINK_WEBSITE, IDC_LINK_SHOP, IDC_LINK_MICROBLOG}) {
    ClickAt(::GetDlgItem(about, link), 4, 4);
    awaitPage();
  }
  ::PostMessageW(about, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(about, IDC_LINK_WEBSITE)), TRUE);
  if (WaitUntil([&] { return ::GetDlgCtrlID(FocusOf(about)) == IDC_LINK_WEBSITE; })) {
    Key(about, VK_RETURN);
    awaitPage();
  }
  Command(about, IDOK);
  WaitClosed(about);

  Command(program.Main(), ID_MENU_CHECK_UPDATE);
  awaitPage();

  Command(program.Main(), ID_MENU_HELP);
  HWND help = WaitForDialog(program.Id(), program.Main());
  if (help) {
    ClickAt(::GetDlgItem(help, IDC_HELP_COPYRIGHT), 4, 4);
    ::Sleep(3000);
    Command(help, IDOK);
    WaitClosed(help);
  }
  return OpenedPages();
}

}  // namespace e2e
