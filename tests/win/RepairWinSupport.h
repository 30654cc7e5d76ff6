#pragma once

#include <windows.h>

#include <string>

#include "TestSupport.h"
#include "WinTestSupport.h"

namespace quietreel::repairtest {

using namespace testsupport;
using wintest::RecordingWindow;

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

}  // namespace quietreel::repairtest
