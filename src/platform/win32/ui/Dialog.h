#pragma once

#include <windows.h>

#include <string>

namespace quietreel::win32 {

// A modal dialog run from a template resource of the program. Derived
// classes override the handlers they need; the defaults end the dialog on
// OK and Cancel, as the system's own dialogs do.
class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  INT_PTR DoModal(HWND owner);
  HWND Hwnd() const { return hwnd_; }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnCommand(int id, int code);
  virtual bool OnNotify(const NMHDR& header, LRESULT& result);
  // Any other message. Returns true when handled, with the dialog
  // procedure's return value in `result`.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  void EndDialog(INT_PTR result);
  void SetItemText(int id, const std::wstring& text);
  std::wstring ItemText(int id) const;
  void SetTitle(const std::wstring& text);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Detach();

  int templateId_;
  HWND hwnd_ = nullptr;
};

}  // namespace quietreel::win32
