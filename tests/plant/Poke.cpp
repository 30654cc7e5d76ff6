// Uses the running Quietreel as a person would, so that it loads what those
// uses load: opens About and Help from the menu bar and closes them, then
// chooses "check for updates", which opens a web page through the shell.
// Prints each window it saw; exits 1 when one did not appear.
#include <windows.h>

#include <string>

#include "base/Brand.h"
#include "res/resource.h"

namespace {

void Print(const std::wstring& text) {
  std::string bytes(text.size() * 3 + 1, '\0');
  int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()),
                                     nullptr, nullptr);
  DWORD written = 0;
  if (length > 1) ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), length - 1, &written, nullptr);
}

struct OwnedSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchOwned(HWND hwnd, LPARAM parameter) {
  auto* search = reinterpret_cast<OwnedSearch*>(parameter);
  wchar_t className[16] = {};
  ::GetClassNameW(hwnd, className, 16);
  if (::IsWindowVisible(hwnd) && ::lstrcmpW(className, L"#32770") == 0 && ::GetWindow(hwnd, GW_OWNER) == search->owner) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND OwnedDialog(HWND owner) {
  OwnedSearch search{owner, nullptr};
  ::EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Found>
bool WaitFor(Found found) {
  for (int i = 0; i < 200; ++i) {
    if (found()) return true;
    ::Sleep(100);
  }
  return false;
}

std::wstring Title(HWND hwnd) {
  wchar_t text[256] = {};
  ::GetWindowTextW(hwnd, text, 256);
  return text;
}

bool OpenAndClose(HWND main, int command) {
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = OwnedDialog(main)) != nullptr; })) {
    Print(L"no window opened for command " + std::to_wstring(command) + L"\n");
    return false;
  }
  Print(L"opened \"" + Title(dialog) + L"\"\n");
  ::Sleep(500);
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return WaitFor([&] { return !::IsWindow(dialog); });
}

}  // namespace

int wmain() {
  HWND main = nullptr;
  if (!WaitFor([&] { return (main = ::FindWindowW(L"#32770", quietreel::kTitleText)) != nullptr; })) {
    Print(L"the main window did not appear\n");
    return 1;
  }
  Print(L"main window \"" + Title(main) + L"\"\n");
  bool seen = OpenAndClose(main, ID_MENU_ABOUT) && OpenAndClose(main, ID_MENU_HELP);
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(ID_MENU_CHECK_UPDATE, BN_CLICKED), 0);
  ::Sleep(3000);
  return seen ? 0 : 1;
}
