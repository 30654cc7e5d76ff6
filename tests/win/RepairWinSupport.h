#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Window.h"

namespace quietreel::repairtest {

// True when the tests run under Wine, whose attrib and links behave
// differently from Windows' own (see the tests that rely on it).
bool RunningUnderWine();

std::uint32_t AttributesOf(const std::wstring& path);
bool PathExists(const std::wstring& path);
bool IsPlainFile(const std::wstring& path);
bool IsDirectoryPath(const std::wstring& path);
// Creates the file and any missing folders above it.
void WriteFileAt(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
void MakeDirectories(const std::wstring& path);
std::uint64_t SizeOf(const std::wstring& path);
// Removes a tree whatever its attributes, without following links; the
// tests' own clean-up, independent of the purge under test.
void RemoveTree(const std::wstring& path);
// A directory link (a junction on Windows, a symbolic link under Wine);
// false when the system cannot make one.
bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target);

// A fresh folder under the user's temporary folder, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

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
  void ShowStatus(const std::wstring& text) override {
    statuses.push_back(text);
    if (onStatus) onStatus();
  }

  bool answerOk = true;
  std::function<void()> onStatus;
  std::vector<std::wstring> notices;
  std::vector<std::wstring> warnings;
  std::vector<std::pair<std::wstring, std::wstring>> questions;
  std::vector<std::wstring> statuses;
};

}  // namespace quietreel::repairtest
