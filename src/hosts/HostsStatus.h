#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/Services.h"

namespace quietreel {

// The main window's line on where things stand, from the hosts file as it
// was read: Block's section in it and how many names it blocks, no section,
// no hosts file, or one that cannot be read.
std::wstring DescribeHosts(const ReadResult& hosts);
// Reads the hosts file, and nothing else, and describes it.
std::wstring HostsStatusText(const Services& services);

}  // namespace quietreel
