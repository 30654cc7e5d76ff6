#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kPatience = 20s;

// Polls `found` until it gives a window or the time is up.
HWND WaitFor(const std::function<HWND()>& found, std::chrono::milliseconds patience = kPatience);
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience = kPatience);

// A visible top-level dialog (class #32770) of the process, owned by
// `owner` (or by no window when `owner` is null), other than `except`.
HWND FindDialog(DWORD processId, HWND owner, HWND except = nullptr);
HWND WaitForDialog(DWORD processId, HWND owner, HWND except = nullptr);
// No such dialog appears within a short while.
bool NoDialogAppears(DWORD processId, HWND owner, HWND except = nullptr);

std::wstring Text(HWND hwnd);
std::wstring ClassName(HWND hwnd);

struct Control {
  HWND hwnd;
  int id;
  std::wstring className;
  std::wstring text;
  RECT rect;  // in the parent's client coordinates, pixels
  bool tabStop;
};

// The children in creation order, which for a dialog is its template order.
std::vector<Control> Children(HWND parent);

// A hidden dialog of ours in the program's dialog font; the caller
// destroys it.
HWND CreateFontProbe();

// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);
// The ids of the controls the focus visits as Tab is pressed, from the
// focused one until it comes back.
std::vector<int> TabOrder(HWND dialog);

// What a user does: press a button or choose a menu command, press a key.
void Command(HWND window, int id);
void Key(HWND window, UINT virtualKey);
void ClickAt(HWND control, int x, int y);

// A message box as the user sees it.
struct MessageBoxView {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  bool icon = false;
  std::vector<std::wstring> buttons;
};
MessageBoxView ReadMessageBox(HWND box);

// Writes the window as it is on screen to a BMP file.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace e2e
