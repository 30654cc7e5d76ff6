#pragma once

#include <windows.h>

#include <string>

#include "Ui.h"

namespace e2e {

// The box the action opened, owned by `owner`; null after a failed check.
MessageBoxView WaitForMessageBox(DWORD processId, HWND owner, HWND except = nullptr);
// A box with one OK button, this caption and text, and the exclamation
// icon for a warning or no icon for a notice.
void ExpectBox(const MessageBoxView& box, const std::wstring& caption, const std::wstring& text, bool warning);
// Presses a box's button and waits for it to go.
void Answer(const MessageBoxView& box, int button);
void WaitClosed(HWND window);
// Every text of the dialog's controls fits its control at this DPI.
void ExpectTextsFit(HWND dialog);
// With QUIETREEL_E2E_SHOTS set, saves the window as <name>.bmp there for a
// person to look at.
void Shoot(HWND window, const std::wstring& name);

}  // namespace e2e
