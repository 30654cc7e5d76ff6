#include "RepairWinSupport.h"

#include <gtest/gtest.h>

namespace quietreel::repairtest {

void WriteFileAt(const std::wstring& path, const std::string& bytes, DWORD attributes) {
  ASSERT_TRUE(MakeFile(path, bytes)) << "cannot create test file";
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetAttributes(path, attributes));
  }
}

HeldOpen::HeldOpen(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldOpen::~HeldOpen() {
  if (Valid()) ::CloseHandle(handle_);
}

}  // namespace quietreel::repairtest
