#include "Expect.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Disk.h"

namespace e2e {

MessageBoxView WaitForMessageBox(DWORD processId, HWND owner, HWND except) {
  HWND box = WaitForDialog(processId, owner, except);
  EXPECT_NE(box, nullptr) << "no message box owned by " << owner;
  return box ? ReadMessageBox(box) : MessageBoxView{};
}

void ExpectBox(const MessageBoxView& box, const std::wstring& caption, const std::wstring& text, bool warning) {
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.icon, warning);
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{std::to_wstring(IDOK)});
}

void WaitClosed(HWND window) {
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); })) << "window stays open";
}

void Answer(const MessageBoxView& box, int button) {
  if (!box.hwnd) return;
  Command(box.hwnd, button);
  WaitClosed(box.hwnd);
}

void Shoot(HWND window, const std::wstring& name) {
  std::wstring folder = Environment(L"QUIETREEL_E2E_SHOTS");
  if (folder.empty() || !window) return;
  ::Sleep(700);  // let it finish painting
  EXPECT_TRUE(SaveScreenshot(window, folder + L"\\" + name + L".bmp"))
      << "screenshot " << ::testing::PrintToString(name);
}

namespace {

std::wstring WithoutLinkMarkup(std::wstring text) {
  for (const wchar_t* tag : {L"<a>", L"</a>"}) {
    for (std::size_t at = text.find(tag); at != std::wstring::npos; at = text.find(tag))
      text.erase(at, std::wcslen(tag));
  }
  return text;
}

// Measures with the dialog font of the program, through a dialog of ours.
class TextMeasure {
 public:
  TextMeasure()
      : probe_(CreateFontProbe()),
        dc_(::GetDC(probe_)),
        old_(::SelectObject(dc_, reinterpret_cast<HGDIOBJ>(::SendMessageW(probe_, WM_GETFONT, 0, 0)))) {}
  ~TextMeasure() {
    ::SelectObject(dc_, old_);
    ::ReleaseDC(probe_, dc_);
    ::DestroyWindow(probe_);
  }
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  // The size the text takes when wrapped at `width` pixels (or on one line).
  SIZE Measure(const std::wstring& text, LONG width, bool wrap) const {
    RECT rect{0, 0, width, 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
    return SIZE{rect.right, rect.bottom};
  }

 private:
  HWND probe_;
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

// Push buttons keep a frame and a focus rectangle around their text; group
// boxes draw their title inside the frame's corners.
void ExpectTextsFit(HWND dialog) {
  TextMeasure measure;
  int edge = ::GetSystemMetrics(SM_CXEDGE);
  for (const Control& control : Children(dialog)) {
    LONG style = ::GetWindowLongW(control.hwnd, GWL_STYLE);
    std::wstring text = WithoutLinkMarkup(control.text);
    LONG width = control.rect.right - control.rect.left;
    LONG height = control.rect.bottom - control.rect.top;
    bool wraps =
        control.className == L"SysLink" || (control.className == L"Static" && (style & SS_TYPEMASK) != SS_ICON);
    if (text.empty() || (!wraps && control.className != L"Button")) continue;
    SIZE need = measure.Measure(text, width, wraps);
    if (!wraps) {
      bool groupBox = (style & BS_TYPEMASK) == BS_GROUPBOX;
      need.cx += 4 * edge;
      need.cy = groupBox ? 0 : need.cy + 2 * edge;
    }
    EXPECT_LE(need.cx, width) << ::testing::PrintToString(text) << " is too wide";
    EXPECT_LE(need.cy, height) << ::testing::PrintToString(text) << " is too tall";
  }
}

}  // namespace e2e
