#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/Window.h"

namespace quietreel::wintest {

// A window that records what the operations tell the user.
class RecordingWindow : public Window {
 public:
  struct Box {
    bool warning;
    std::wstring text;
  };
  void ShowNotice(const std::wstring& text) override { boxes.push_back({false, text}); }
  void ShowWarning(const std::wstring& text) override { boxes.push_back({true, text}); }
  bool AskOkCancel(const std::wstring& text, const std::wstring&) override {
    boxes.push_back({false, text});
    return answerOk;
  }
  void SetItemTextNow(int id, const std::wstring& text) override { itemTexts.emplace_back(id, text); }

  bool answerOk = true;
  std::vector<Box> boxes;
  std::vector<std::pair<int, std::wstring>> itemTexts;
};

using testsupport::ReadBytes;
using testsupport::ScratchFolder;
using testsupport::WriteBytes;

// The folder of the running test program, with a trailing backslash.
std::wstring ExeDirectory();
// A file of the source tree, through the drive that maps the Linux root.
std::wstring SourceFile(const char* relative);

}  // namespace quietreel::wintest
