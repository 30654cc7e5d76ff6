#pragma once

#include <windows.h>

#include <string>

#include "platform/Window.h"

namespace quietreel::win32 {

// The program's name as message boxes show it: the file name of the running
// executable without its extension.
std::wstring ProgramName();

// A dialog as the owner an operation reports to. Warnings go to the main
// window, the root of the dialog's chain of owners.
class DialogOwner : public Window {
 public:
  explicit DialogOwner(HWND dialog) : dialog_(dialog) {}

  void ShowNotice(const std::wstring& text) override;
  void ShowWarning(const std::wstring& text) override;
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override;
  void SetItemTextNow(int controlId, const std::wstring& text) override;

 private:
  HWND dialog_;
};

}  // namespace quietreel::win32
