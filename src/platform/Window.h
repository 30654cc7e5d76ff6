#pragma once

#include <string>

namespace quietreel {

// The window an operation was started from; the operation tells its outcome
// through it.
class Window {
 public:
  virtual ~Window() = default;
  // OK-only box owned by this window, no icon, the program's name as caption.
  virtual void ShowNotice(const std::wstring& text) = 0;
  // OK-only box owned by the main window, exclamation icon, same caption.
  virtual void ShowWarning(const std::wstring& text) = 0;
  // OK/Cancel question with a caption of its own; true when answered OK.
  virtual bool AskOkCancel(const std::wstring& text, const std::wstring& caption) = 0;
  // Shows `text` on the window's status line (empty clears it) and paints it
  // at once. A caller that keeps the thread busy calls it often enough to
  // let the window take its messages meanwhile, so it never stops answering.
  virtual void ShowStatus(const std::wstring& text) = 0;
};

}  // namespace quietreel
