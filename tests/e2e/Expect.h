#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Ui.h"

namespace e2e {

// A control as a template places it; text null means "not checked".
struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  int x, y, width, height;  // dialog units
  bool tabStop;
  // Sizes itself to its content (an icon): only the place is checked.
  bool ownSize = false;
};

// Id, class, text, place and tab stop of every child, in order.
void ExpectControls(HWND dialog, const std::vector<ControlSpec>& expected);

// The box the action opened, owned by `owner`; null after a failed check.
MessageBoxView WaitForMessageBox(DWORD processId, HWND owner);
// Presses a box's button and waits for it to go.
void Answer(const MessageBoxView& box, int button);
void WaitClosed(HWND window);

}  // namespace e2e
