#include "hosts/HostsStatus.h"

#include <optional>

#include "hosts/BlockSection.h"
#include "hosts/HostsLimits.h"

namespace quietreel {

std::wstring DescribeHosts(const ReadResult& hosts) {
  if (hosts.status == ReadStatus::kMissing) return L"当前状态：没有 hosts 文件";
  if (hosts.status != ReadStatus::kOk) return L"当前状态：无法读取 hosts 文件";
  const std::optional<std::size_t> blocked = SectionHosts(hosts.bytes);
  if (!blocked) return L"当前状态：未屏蔽广告";
  return L"当前状态：已屏蔽广告，共屏蔽 " + std::to_wstring(*blocked) + L" 个主机";
}

std::wstring HostsStatusText(const Services& services) {
  return DescribeHosts(services.files.ReadWhole(services.hostsPath, kHostsSizeLimit, Names::kAny));
}

}  // namespace quietreel
