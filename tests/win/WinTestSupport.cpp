#include "WinTestSupport.h"

namespace quietreel::wintest {

std::wstring ExeDirectory() {
  wchar_t buffer[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  std::wstring path = buffer;
  return path.substr(0, path.rfind(L'\\') + 1);
}

// QUIETREEL_TEST_SOURCE_DIR (a Windows path) stands in for the source tree
// where the tests run from a copy (scripts/test-unprivileged.sh).
std::wstring SourceFile(const char* relative) {
  std::wstring path = testsupport::Environment(L"QUIETREEL_TEST_SOURCE_DIR");
  if (path.empty()) {
    path = L"Z:";
    for (const char* c = QUIETREEL_SOURCE_DIR; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  }
  path += L'\\';
  for (const char* c = relative; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

}  // namespace quietreel::wintest
