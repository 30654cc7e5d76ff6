#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Expected.h"
#include "TestSupport.h"

namespace e2e {

using testsupport::Attributes;
using testsupport::Environment;
using testsupport::IsDirectory;
using testsupport::IsFile;
using testsupport::MakeFile;
using testsupport::ProtectionOf;
using testsupport::ReadBytes;
using testsupport::RemoveTree;
using testsupport::WriteBytes;

namespace expected = quietreel::expected;
using expected::kHostsPath;

std::wstring KnownFolder(int csidl);

// Puts the prefix's hosts file back as it was, attributes included, and
// leaves no `backup` behind.
class HostsGuard {
 public:
  HostsGuard();
  ~HostsGuard();
  HostsGuard(const HostsGuard&) = delete;
  HostsGuard& operator=(const HostsGuard&) = delete;
  const std::optional<std::string>& Original() const { return original_; }

 private:
  std::optional<std::string> original_;
  DWORD attributes_;
};

}  // namespace e2e
