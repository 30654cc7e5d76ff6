#include "hosts/HostsBlocker.h"

#include <optional>
#include <string>

#include "hosts/BlockListFile.h"
#include "hosts/HostsLimits.h"
#include "hosts/HostsMessages.h"
#include "hosts/HostsPlan.h"
#include "hosts/PlanExecutor.h"
#include "hosts/SavedCopy.h"

namespace quietreel {
namespace {

// What Block and Restore decide from: the hosts file's bytes (none when
// there is none), `backup` as it stands and the record. They use the
// program's folder as it was fixed at start, with the rights that folder
// needs; without either, with a `backup` that is a link or has a second
// name, or with a hosts file that is there but cannot be read, they touch
// nothing and say why.
std::optional<HostsOnDisk> Read(const Services& services, Window& owner, const wchar_t* hostsUnreadable) {
  if (services.programDirectory.empty() || !services.userFiles) {
    owner.ShowWarning(services.programDirectory.empty() ? kNoProgramFolder : kNoUserRights);
    return std::nullopt;
  }
  const SavedCopy saved = ReadSavedCopy(services);
  if (!saved.facts.plain) {
    owner.ShowWarning(kNotPlainFile);
    return std::nullopt;
  }
  FinishCutReplacement(services);
  HostsOnDisk disk{std::nullopt, saved.facts.kind, saved.bytes, ReadRecord(services)};
  ReadResult read = services.files.ReadWhole(services.hostsPath, kHostsSizeLimit, Names::kAny);
  if (read.status == ReadStatus::kOk) {
    disk.hosts = std::move(read.bytes);
  } else if (read.status != ReadStatus::kMissing) {
    owner.ShowWarning(hostsUnreadable);
    return std::nullopt;
  }
  return disk;
}

}  // namespace

void Block(const Services& services, Window& owner) {
  const std::optional<HostsOnDisk> disk = Read(services, owner, kInterrupted);
  if (disk) CarryOut(services, owner, PlanBlock(*disk, ReadBlockList(services)));
}

void Restore(const Services& services, Window& owner) {
  const std::optional<HostsOnDisk> disk = Read(services, owner, kRestoreFailed);
  if (disk) CarryOut(services, owner, PlanRestore(*disk));
}

void Reset(const Services& services, Window& owner) {
  CarryOut(services, owner, PlanReset(services.files.Look(services.hostsPath).kind));
}

}  // namespace quietreel
