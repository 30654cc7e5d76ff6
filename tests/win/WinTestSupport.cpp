#include "WinTestSupport.h"

namespace quietreel::wintest {
namespace {

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3 + 1, '\0');
  int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                     static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(length > 0 ? length : 0);
  return out;
}

}  // namespace

::testing::AssertionResult ToldOnly(const RecordingWindow& window, bool warning, const std::wstring& text) {
  const std::vector<std::wstring>& told = warning ? window.warnings : window.notices;
  if (window.BoxCount() == 1 && told.size() == 1 && told[0] == text) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << "expected only the " << (warning ? "warning " : "notice ")
                                               << Utf8(text) << "; was told";
  for (const std::wstring& notice : window.notices) failure << " [notice " << Utf8(notice) << "]";
  for (const std::wstring& shown : window.warnings) failure << " [warning " << Utf8(shown) << "]";
  for (const auto& question : window.questions) failure << " [question " << Utf8(question.first) << "]";
  return failure;
}

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
