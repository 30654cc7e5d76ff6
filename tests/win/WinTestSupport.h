#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "platform/Window.h"

namespace quietreel::wintest {

// A window that records what the operations tell the user.
class RecordingWindow : public Window {
 public:
  void ShowNotice(const std::wstring& text) override { notices.push_back(text); }
  void ShowWarning(const std::wstring& text) override { warnings.push_back(text); }
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override {
    questions.emplace_back(text, caption);
    return answerOk;
  }
  void ShowStatus(const std::wstring& text) override {
    statuses.push_back(text);
    if (onStatus) onStatus();
  }
  std::size_t BoxCount() const { return notices.size() + warnings.size() + questions.size(); }
  void Clear() {
    notices.clear();
    warnings.clear();
    questions.clear();
    statuses.clear();
  }

  bool answerOk = true;
  std::function<void()> onStatus;
  std::vector<std::wstring> notices;
  std::vector<std::wstring> warnings;
  std::vector<std::pair<std::wstring, std::wstring>> questions;
  std::vector<std::wstring> statuses;
};

// The window was told exactly one thing: this notice, or this warning.
::testing::AssertionResult ToldOnly(const RecordingWindow& window, bool warning, const std::wstring& text);

using testsupport::ReadBytes;
using testsupport::ScratchFolder;
using testsupport::WriteBytes;

// The folder of the running test program, with a trailing backslash.
std::wstring ExeDirectory();
// A file of the source tree, through the drive that maps the Linux root.
std::wstring SourceFile(const char* relative);

}  // namespace quietreel::wintest
