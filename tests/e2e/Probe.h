#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// One thing seen inside the program. Menu items: "bar 1.0" is the first
// item of the menu bar's second popup, "sys 7" the eighth item of the
// system menu; id is a number, "popup" or "-" for a separator. Icons:
// "icon big", "icon small", "icon dragged" with id "1" when there is one,
// and "icon same" with "1" when the three are one icon.
struct ProbeLine {
  std::wstring path;
  std::wstring id;
  std::wstring text;
  bool operator==(const ProbeLine& other) const { return path == other.path && id == other.id && text == other.text; }
};

// The menus and icons of a window of another process, read inside that
// process through the probe library.
std::vector<ProbeLine> ProbeWindow(HWND window);

}  // namespace e2e
