#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

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
  void ShowStatus(const std::wstring& text) override { statuses.push_back(text); }

  bool answerOk = true;
  std::vector<Box> boxes;
  std::vector<std::wstring> statuses;
};

// A fresh folder under the temporary folder, removed with all it holds.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // With a trailing backslash.
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);
// The folder of the running test program, with a trailing backslash.
std::wstring ExeDirectory();
// A file of the source tree, through the drive that maps the Linux root.
std::wstring SourceFile(const char* relative);

}  // namespace quietreel::wintest
