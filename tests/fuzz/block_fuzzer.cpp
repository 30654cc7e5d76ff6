// The whole Block on the fake Windows, from each of the four states, with
// fuzzed core.dat and hosts bytes, and optionally one failing platform call.
//
// Input: one control byte (bits 0-1 the state, bit 2 the hosts file starts
// hidden, read-only and system, bits 4-7 the number of the platform call
// that fails, 0 for none), two bytes giving the hosts length (little-endian,
// cut to what is left), the hosts bytes, then the plain list, which ships
// encoded. Whatever the program accepts and writes may only block names.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "Expected.h"
#include "FuzzCheck.h"
#include "base/Brand.h"
#include "fake/FakeWindows.h"
#include "hosts/BlockListCodec.h"
#include "hosts/HostsBlocker.h"

namespace {

using quietreel::fake::FakeWindow;
using quietreel::fake::FakeWindows;

enum State { kClean, kBlocked, kNoHosts, kOrphaned };

// Functions, not statics: the fake's own names are statics of another file.
std::wstring CoreDatPath() { return FakeWindows::kProgramDirectory + L"core.dat"; }
std::wstring BackupPath() { return FakeWindows::kProgramDirectory + L"backup"; }
const std::string kStaleBackup = "an older hosts file\r\n";

std::string Marker() {
  std::string marker = std::string("Brassfen\r\n") + quietreel::kMakerHostName + "\r\nAny problem contact us!";
  return marker + '\0';
}

struct Input {
  State state = kClean;
  bool protectedHosts = false;
  std::size_t failingCall = 0;
  std::string hosts;
  std::string list;
};

Input Parse(const std::uint8_t* data, std::size_t size) {
  Input input;
  if (size == 0) return input;
  input.state = static_cast<State>(data[0] & 3);
  input.protectedHosts = data[0] & 4;
  input.failingCall = data[0] >> 4;
  std::size_t at = 1;
  std::size_t hostsLength = 0;
  if (size >= 3) {
    hostsLength = data[1] | (data[2] << 8);
    at = 3;
  }
  hostsLength = std::min(hostsLength, size - at);
  input.hosts.assign(reinterpret_cast<const char*>(data + at), hostsLength);
  input.list.assign(reinterpret_cast<const char*>(data + at + hostsLength), size - at - hostsLength);
  return input;
}

// What a Block added to `original` (after the line break it may put first)
// is made of CR LF lines that are blank, comments or name blocks only.
bool OnlyBlocks(const std::string& hosts, const std::string& original) {
  if (hosts.compare(0, original.size(), original) != 0) return false;
  std::string added = hosts.substr(original.size());
  for (std::size_t start = 0; start < added.size();) {
    std::size_t end = added.find("\r\n", start);
    const std::string line = added.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    const bool fine = first == std::string::npos || line[first] == '#' ||
                      line.compare(first, 8, "0.0.0.0 ") == 0 || line.compare(first, 8, "0.0.0.0\t") == 0 ||
                      line.compare(first, 10, "127.0.0.1 ") == 0 || line.compare(first, 10, "127.0.0.1\t") == 0;
    if (!fine || line.find('\r') != std::string::npos) return false;
    start = end == std::string::npos ? added.size() : end + 2;
  }
  return true;
}

const wchar_t kBlockedText[] = L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";

// Everything but the hosts file and `backup`, which Block alone may change.
std::map<std::wstring, std::string> Elsewhere(const FakeWindows& windows) {
  std::map<std::wstring, std::string> rest = windows.Snapshot();
  for (auto it = rest.begin(); it != rest.end();) {
    const std::wstring& key = it->first;
    bool ours = key.rfind(L"C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ETC\\HOSTS", 0) == 0 ||
                key == L"C:\\PROGRAM FILES\\QUIETREEL\\BACKUP";
    it = ours ? rest.erase(it) : std::next(it);
  }
  return rest;
}

// Without a fault: Blocked refuses and changes nothing; a list the program
// refuses leaves the hosts file as it was; a success leaves the user's file
// in `backup` and followed, in the hosts file, by blocking lines only.
void CheckWithoutFault(const Input& in, FakeWindows& windows, const FakeWindow& owner,
                       const std::map<std::wstring, std::string>& before) {
  const auto& boxes = owner.Boxes();
  if (in.state == kBlocked) {
    FUZZ_CHECK(boxes.size() == 1 && boxes[0].text == L"广告已经屏蔽！");
    FUZZ_CHECK(windows.Snapshot() == before);
    return;
  }
  const bool hadHosts = in.state == kClean;
  const std::string original = hadHosts ? in.hosts : "";
  FUZZ_CHECK(boxes.size() <= 1);
  if (!boxes.empty() && boxes[0].text == kBlockedText) {
    FUZZ_CHECK(windows.BytesOf(BackupPath()) == (hadHosts ? in.hosts : Marker()));
    FUZZ_CHECK(OnlyBlocks(windows.BytesOf(FakeWindows::kHostsPath), original) ||
               OnlyBlocks(windows.BytesOf(FakeWindows::kHostsPath), original + "\r\n"));
    const std::uint32_t locked = quietreel::expected::kHiddenReadOnlySystem;
    FUZZ_CHECK((windows.AttributesOf(FakeWindows::kHostsPath) & locked) == locked);
  } else if (!boxes.empty()) {
    FUZZ_CHECK(windows.IsFile(FakeWindows::kHostsPath) == hadHosts);
    FUZZ_CHECK(windows.BytesOf(FakeWindows::kHostsPath) == original);
  }
}

// With one call failing, what the hosts file held (its bytes, or its absence,
// for which the marker stands) must survive in the hosts file or in `backup`,
// and success is claimed only for a hosts file that really got blocking lines.
void CheckWithFault(const Input& in, FakeWindows& windows, const FakeWindow& owner) {
  const auto& boxes = owner.Boxes();
  FUZZ_CHECK(boxes.size() <= 1);
  const bool hostsNow = windows.IsFile(FakeWindows::kHostsPath);
  const std::string hostsBytes = windows.BytesOf(FakeWindows::kHostsPath);
  const bool backupNow = windows.IsFile(BackupPath());
  const std::string backupBytes = windows.BytesOf(BackupPath());

  if (in.state == kClean || in.state == kBlocked) {
    FUZZ_CHECK(hostsNow);
    FUZZ_CHECK(hostsBytes.compare(0, in.hosts.size(), in.hosts) == 0);
    if (hostsBytes != in.hosts) FUZZ_CHECK(backupNow && backupBytes == in.hosts);
  } else if (hostsNow) {
    FUZZ_CHECK(backupNow && backupBytes == Marker());
  }
  if (!boxes.empty() && boxes[0].text == kBlockedText) {
    const std::string original = in.state == kClean ? in.hosts : "";
    FUZZ_CHECK(OnlyBlocks(hostsBytes, original) || OnlyBlocks(hostsBytes, original + "\r\n"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Parse(data, size);
  FakeWindows windows;
  const std::uint32_t hostsAttributes =
      in.protectedHosts ? quietreel::kAttributeHidden | quietreel::kAttributeReadOnly | quietreel::kAttributeSystem : 0;
  if (in.state == kClean || in.state == kBlocked) windows.AddFile(FakeWindows::kHostsPath, in.hosts, hostsAttributes);
  if (in.state == kBlocked) windows.AddFile(BackupPath(), in.hosts.substr(0, in.hosts.size() / 2));
  if (in.state == kOrphaned) windows.AddFile(BackupPath(), kStaleBackup);
  windows.AddFile(CoreDatPath(),
                  quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, in.list, quietreel::kBlockListSeed));

  const auto before = windows.Snapshot();
  const auto elsewhere = Elsewhere(windows);
  windows.ResetCounters();
  windows.FailCall(in.failingCall);
  FakeWindow owner;
  quietreel::Block(windows.MakeServices(), owner);

  FUZZ_CHECK(Elsewhere(windows) == elsewhere);
  if (in.failingCall == 0 || windows.FallibleCalls() < in.failingCall) {
    CheckWithoutFault(in, windows, owner, before);
  } else {
    CheckWithFault(in, windows, owner);
  }
  return 0;
}
