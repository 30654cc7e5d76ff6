// A stand-in for Windows' attrib.exe in the test prefixes only. Wine 8's own
// attrib applies only the last switch of a command (`attrib +h +r +s f` sets
// only system), so the attributes the program sets could never be checked
// under Wine. This one applies every switch of the command to one path, as
// Windows' attrib does:
//   attrib [+h|-h] [+r|-r] [+s|-s] [+a|-a] ... "path"
// Exit codes are those of Windows' attrib: 0 when the attributes were set;
// 1 when the file is not found ("File not found - path"), when it cannot be
// changed ("Access denied - path") and for a switch or argument it does not
// understand ("Parameter format not correct -"). Windows' attrib also takes
// wildcards, /S, /D and /L and shows the attributes when given no switch;
// the program never asks for those, so they are refused here rather than
// half-done.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// The command line after the program's own name, which may be quoted.
const wchar_t* Arguments() {
  const wchar_t* line = ::GetCommandLineW();
  if (*line == L'"') {
    for (++line; *line && *line != L'"'; ++line) {
    }
    if (*line) ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t') ++line;
  }
  return line;
}

int Fail(const wchar_t* what, const std::wstring& path) {
  std::fwprintf(stderr, L"%ls - %ls\n", what, path.c_str());
  return 1;
}

}  // namespace

int wmain() {
  DWORD set = 0, clear = 0;
  std::wstring path;
  bool havePath = false;
  for (const wchar_t* at = Arguments(); *at;) {
    if (*at == L' ' || *at == L'\t') {
      ++at;
      continue;
    }
    if ((*at == L'+' || *at == L'-') && at[1] && at[1] != L' ') {
      DWORD bit = 0;
      switch (at[1] | 0x20) {
        case L'h': bit = FILE_ATTRIBUTE_HIDDEN; break;
        case L'r': bit = FILE_ATTRIBUTE_READONLY; break;
        case L's': bit = FILE_ATTRIBUTE_SYSTEM; break;
        case L'a': bit = FILE_ATTRIBUTE_ARCHIVE; break;
        default: return Fail(L"Parameter format not correct", at);
      }
      (*at == L'+' ? set : clear) |= bit;
      (*at == L'+' ? clear : set) &= ~bit;
      at += 2;
      continue;
    }
    if (havePath) return Fail(L"Parameter format not correct", at);
    if (*at == L'"') {
      const wchar_t* end = ++at;
      while (*end && *end != L'"') ++end;
      path.assign(at, end);
      at = *end ? end + 1 : end;
    } else {
      const wchar_t* end = at;
      while (*end && *end != L' ' && *end != L'\t') ++end;
      path.assign(at, end);
      at = end;
    }
    havePath = true;
  }
  // Without switches attrib shows the attributes, which the program never asks.
  if (!havePath || (!set && !clear) || path.empty() || path.find_first_of(L"*?") != std::wstring::npos || path[0] == L'/')
    return Fail(L"Parameter format not correct", path);

  DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(L"File not found", path);
  // Only the bits attrib may change are handed back; the rest (directory,
  // reparse point, ...) are not settable through SetFileAttributesW.
  constexpr DWORD kSettable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  // Set even when nothing changes: Windows asks for the right to write the
  // attributes all the same. Under Wine, read-only takes the Unix write bits
  // away before hidden and system are written (as an extended attribute),
  // which a user other than root then may not do: the call succeeds with
  // hidden and system lost. So they go first, and the result is checked.
  DWORD wanted = ((attributes & kSettable) | set) & ~clear;
  const DWORD first = wanted & ~FILE_ATTRIBUTE_READONLY;
  bool done = (first == wanted || ::SetFileAttributesW(path.c_str(), first ? first : FILE_ATTRIBUTE_NORMAL)) &&
              ::SetFileAttributesW(path.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
  if (!done && ::GetLastError() != ERROR_ACCESS_DENIED) return Fail(L"Parameter format not correct", path);
  constexpr DWORD kChecked = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
  if (!done || (::GetFileAttributesW(path.c_str()) & kChecked) != (wanted & kChecked))
    return Fail(L"Access denied", path);
  return 0;
}
