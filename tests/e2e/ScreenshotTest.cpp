// Every window of the program at the present DPI: each text must fit its
// control, and with QUIETREEL_E2E_SHOTS set each window is saved as a BMP
// for a person to look at.
#include <gtest/gtest.h>

#include "Disk.h"
#include "Expect.h"
#include "Program.h"

namespace e2e {
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

// Push buttons keep a frame and a focus rectangle around their text; group
// boxes draw their title inside the frame's corners.
void ExpectTextsFit(HWND dialog) {
  TextMeasure measure;
  int edge = ::GetSystemMetrics(SM_CXEDGE);
  for (const Control& control : Children(dialog)) {
    LONG style = ::GetWindowLongW(control.hwnd, GWL_STYLE);
    std::wstring text = WithoutLinkMarkup(control.text);
    if (text.empty()) continue;
    LONG width = control.rect.right - control.rect.left;
    LONG height = control.rect.bottom - control.rect.top;
    SIZE need{};
    if (control.className == L"Static" && (style & SS_TYPEMASK) != SS_ICON) {
      need = measure.Measure(text, width, true);
    } else if (control.className == L"SysLink") {
      need = measure.Measure(text, width, true);
    } else if (control.className == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
      need = measure.Measure(text, width, false);
      need.cx += 4 * edge;
      need.cy = 0;
    } else if (control.className == L"Button") {
      need = measure.Measure(text, width, false);
      need.cx += 4 * edge;
      need.cy += 2 * edge;
    } else {
      continue;
    }
    EXPECT_LE(need.cx, width) << ::testing::PrintToString(text) << " is too wide in "
                              << ::testing::PrintToString(Text(dialog));
    EXPECT_LE(need.cy, height) << ::testing::PrintToString(text) << " is too tall in "
                               << ::testing::PrintToString(Text(dialog));
  }
}

void Shoot(HWND window, const wchar_t* name) {
  std::wstring folder = Environment(L"QUIETREEL_E2E_SHOTS");
  if (folder.empty() || !window) return;
  ::Sleep(700);  // let it finish painting
  EXPECT_TRUE(SaveScreenshot(window, folder + L"\\" + name + L".bmp"))
      << "screenshot " << ::testing::PrintToString(name);
}

HWND Open(const Program& program, HWND owner, int command) {
  Command(owner, command);
  return WaitForDialog(program.Id(), owner);
}

void Close(HWND dialog, int command) {
  Command(dialog, command);
  WaitClosed(dialog);
}

TEST(EveryWindow, FitsItsTextsAndIsPhotographed) {
  Program program;
  HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  ExpectTextsFit(main);
  Shoot(main, L"main");

  HWND faq = Open(program, main, 1008);
  ASSERT_NE(faq, nullptr);
  ExpectTextsFit(faq);
  Shoot(faq, L"faq");
  HWND question = Open(program, faq, 1009);
  ASSERT_NE(question, nullptr);
  Shoot(question, L"cleanup-question");
  Close(question, IDCANCEL);
  Close(faq, IDCANCEL);

  HWND about = Open(program, main, 32775);
  ASSERT_NE(about, nullptr);
  ExpectTextsFit(about);
  Shoot(about, L"about");
  Close(about, IDOK);

  HWND help = Open(program, main, 32777);
  ASSERT_NE(help, nullptr);
  ExpectTextsFit(help);
  Shoot(help, L"help");
  Close(help, IDCANCEL);

  // Restore with nothing saved changes nothing and shows a plain notice.
  HWND notice = Open(program, main, 1002);
  ASSERT_NE(notice, nullptr);
  Shoot(notice, L"notice");
  Close(notice, IDOK);

  // Block without its data file warns, with the exclamation icon.
  ASSERT_TRUE(::DeleteFileW((program.Folder() + L"core.dat").c_str()));
  HWND warning = Open(program, main, IDOK);
  ASSERT_NE(warning, nullptr);
  Shoot(warning, L"warning");
  Close(warning, IDOK);
}

}  // namespace
}  // namespace e2e
