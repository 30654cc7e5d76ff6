#include "Disk.h"

#include <shlobj.h>

namespace e2e {

std::wstring KnownFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  return ::SHGetSpecialFolderPathW(nullptr, buffer, csidl, TRUE) ? buffer : L"";
}

HostsGuard::HostsGuard() : original_(ReadBytes(kHostsPath)), attributes_(Attributes(kHostsPath)) {}

// Where the hosts file cannot be written (scripts/test-unprivileged.sh),
// there is nothing to put back.
HostsGuard::~HostsGuard() {
  if (testsupport::HostsRefused()) return;
  ::SetFileAttributesW(kHostsPath, FILE_ATTRIBUTE_NORMAL);
  if (original_) {
    WriteBytes(kHostsPath, *original_);
    testsupport::SetAttributes(kHostsPath, attributes_);
  } else {
    ::DeleteFileW(kHostsPath);
  }
  // The record of a `backup` the test made would vouch for it in the next.
  ::DeleteFileW(expected::kRecordPath);
}

}  // namespace e2e
