#pragma once

#include <optional>
#include <string>

namespace quietreel {

// Conversions between wide text and the system's ANSI code page.
class CodePage {
 public:
  virtual ~CodePage() = default;
  // Characters the code page lacks become its default character.
  virtual std::string ToAnsi(const std::wstring& text) = 0;
  // Empty when some character has no exact form in the code page.
  virtual std::optional<std::string> ToAnsiExact(const std::wstring& text) = 0;
};

}  // namespace quietreel
