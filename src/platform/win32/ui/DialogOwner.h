#pragma once

#include <windows.h>

#include <string>

#include "platform/Window.h"

namespace quietreel::win32 {

// The program's name as message boxes show it: the file name of the running
// executable without its extension.
std::wstring ProgramName();

// A dialog as the owner an operation reports to. Warnings go to the main
// window, the root of the dialog's chain of owners. The status line is the
// dialog's control `statusLine`; a dialog without one passes 0 and shows no
// status.
class DialogOwner : public Window {
 public:
  explicit DialogOwner(HWND dialog, int statusLine = 0) : dialog_(dialog), statusLine_(statusLine) {}

  void ShowNotice(const std::wstring& text) override;
  void ShowWarning(const std::wstring& text) override;
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override;
  void ShowStatus(const std::wstring& text) override;

 private:
  HWND dialog_;
  int statusLine_;
};

}  // namespace quietreel::win32
