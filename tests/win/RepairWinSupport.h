#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "platform/Window.h"

namespace quietreel::repairtest {

using namespace testsupport;

// Creates the file and any missing folders above it, with these attributes.
void WriteFileAt(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

// Holds a file open without sharing, as a browser holds its cache files.
class HeldOpen {
 public:
  explicit HeldOpen(const std::wstring& path);
  ~HeldOpen();
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A window that records what the operation told the user.
class RecordingWindow : public Window {
 public:
  void ShowNotice(const std::wstring& text) override { notices.push_back(text); }
  void ShowWarning(const std::wstring& text) override { warnings.push_back(text); }
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override {
    questions.emplace_back(text, caption);
    return answerOk;
  }
  void SetItemTextNow(int controlId, const std::wstring& text) override {
    itemTexts.emplace_back(controlId, text);
    if (onItemText) onItemText();
  }

  bool answerOk = true;
  std::function<void()> onItemText;
  std::vector<std::wstring> notices;
  std::vector<std::wstring> warnings;
  std::vector<std::pair<std::wstring, std::wstring>> questions;
  std::vector<std::pair<int, std::wstring>> itemTexts;
};

}  // namespace quietreel::repairtest
