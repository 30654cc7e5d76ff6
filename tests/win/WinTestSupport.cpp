#include "WinTestSupport.h"

namespace quietreel::wintest {

std::wstring ExeDirectory() {
  wchar_t buffer[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
  std::wstring path = buffer;
  return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring SourceFile(const char* relative) {
  std::wstring path = L"Z:";
  for (const char* c = QUIETREEL_SOURCE_DIR "/"; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  for (const char* c = relative; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

}  // namespace quietreel::wintest
