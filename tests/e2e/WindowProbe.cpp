// Loaded into Quietreel by a message hook of the test driver. Under Wine,
// menus and icons cannot be read from another process, so on the probe
// message this writes the window's menu bar, system menu and icons, one item
// a line, to %TEMP%\quietreel-e2e-probe.txt (UTF-16):
// "bar 1.0<TAB>32777<TAB>帮助", "icon big<TAB>1<TAB>" (1: there is one).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Describe(HMENU menu, const std::wstring& path, std::wstring& out) {
  int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    std::wstring here = path + std::to_wstring(i);
    std::wstring id = (info.fType & MFT_SEPARATOR) ? L"-" : info.hSubMenu ? L"popup" : std::to_wstring(info.wID);
    out += here + L"\t" + id + L"\t" + text + L"\n";
    if (info.hSubMenu) Describe(info.hSubMenu, here + L".", out);
  }
}

// Which icons the window answers with; the last line says whether all
// three are the same one.
void DescribeIcons(HWND window, std::wstring& out) {
  LRESULT big = ::SendMessageW(window, WM_GETICON, ICON_BIG, 0);
  LRESULT small = ::SendMessageW(window, WM_GETICON, ICON_SMALL, 0);
  LRESULT dragged = ::SendMessageW(window, WM_QUERYDRAGICON, 0, 0);
  out += std::wstring(L"icon big\t") + (big ? L"1" : L"0") + L"\t\n";
  out += std::wstring(L"icon small\t") + (small ? L"1" : L"0") + L"\t\n";
  out += std::wstring(L"icon dragged\t") + (dragged ? L"1" : L"0") + L"\t\n";
  out += std::wstring(L"icon same\t") + (big == small && big == dragged ? L"1" : L"0") + L"\t\n";
}

void Write(const std::wstring& text) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"quietreel-e2e-probe.txt";
  std::wstring partial = path + L".part";
  FILE* out = ::_wfopen(partial.c_str(), L"wb");
  if (!out) return;
  std::fwrite(text.data(), sizeof(wchar_t), text.size(), out);
  std::fclose(out);
  ::MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probe = ::RegisterWindowMessageW(L"QuietreelE2eProbe");
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == probe) {
    std::wstring out;
    Describe(::GetMenu(message->hwnd), L"bar ", out);
    Describe(::GetSystemMenu(message->hwnd, FALSE), L"sys ", out);
    DescribeIcons(message->hwnd, out);
    Write(out);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
