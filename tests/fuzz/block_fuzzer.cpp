// The whole Block on the fake Windows, from each of the four states, with
// fuzzed core.dat and hosts bytes, and optionally one failing platform call.
//
// Input: one control byte (bits 0-1 the state, bit 2 the hosts file starts
// hidden, read-only and system, bit 3 a double-byte code page, bits 4-7 the
// number of the platform call that fails, 0 for none), two bytes giving the
// hosts length (little-endian, cut to what is left), the hosts bytes, then
// the core.dat bytes.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzCheck.h"
#include "ReferenceDecode.h"
#include "common/Brand.h"
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
  bool doubleByte = false;
  std::size_t failingCall = 0;
  std::string hosts;
  std::string coreDat;
};

Input Parse(const std::uint8_t* data, std::size_t size) {
  Input input;
  if (size == 0) return input;
  input.state = static_cast<State>(data[0] & 3);
  input.protectedHosts = data[0] & 4;
  input.doubleByte = data[0] & 8;
  input.failingCall = data[0] >> 4;
  std::size_t at = 1;
  std::size_t hostsLength = 0;
  if (size >= 3) {
    hostsLength = data[1] | (data[2] << 8);
    at = 3;
  }
  hostsLength = std::min(hostsLength, size - at);
  input.hosts.assign(reinterpret_cast<const char*>(data + at), hostsLength);
  input.coreDat.assign(reinterpret_cast<const char*>(data + at + hostsLength), size - at - hostsLength);
  return input;
}

// The list as it must reach the hosts file: decoded, cut at its first zero,
// in the code page, each LF written as CR LF.
std::string ExpectedList(FakeWindows& windows, const std::string& coreDat) {
  std::wstring decoded =
      quietreel::fuzz::ReferenceDecode(coreDat, quietreel::kBlockListBaseChar, quietreel::kBlockListSeed);
  decoded.resize(decoded.find(L'\0') == std::wstring::npos ? decoded.size() : decoded.find(L'\0'));
  std::string out;
  for (char c : windows.ToAnsi(decoded)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

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

void CheckWithoutFault(const Input& in, FakeWindows& windows, const FakeWindow& owner,
                       const std::map<std::wstring, std::string>& before) {
  const auto& boxes = owner.Boxes();
  if (in.state == kBlocked) {
    FUZZ_CHECK(boxes.size() == 1 && boxes[0].text == L"广告已经屏蔽！");
    FUZZ_CHECK(windows.Snapshot() == before);
    return;
  }
  const bool hadHosts = in.state == kClean;
  if (in.coreDat.empty()) {
    FUZZ_CHECK(boxes.size() == 1 && boxes[0].text == L"创建解密文件失败，请检查是否有权限创建文件！");
    FUZZ_CHECK(windows.IsFile(FakeWindows::kHostsPath) == hadHosts);
    FUZZ_CHECK(windows.BytesOf(FakeWindows::kHostsPath) == (hadHosts ? in.hosts : ""));
    FUZZ_CHECK(!windows.Exists(BackupPath()));
    return;
  }
  const std::string list = ExpectedList(windows, in.coreDat);
  std::string expected = hadHosts ? in.hosts : "";
  if (!expected.empty() && expected.back() != '\n' && !list.empty()) expected += "\r\n";
  expected += list;

  FUZZ_CHECK(windows.IsFile(FakeWindows::kHostsPath));
  FUZZ_CHECK(windows.BytesOf(FakeWindows::kHostsPath) == expected);
  FUZZ_CHECK(windows.IsFile(BackupPath()));
  FUZZ_CHECK(windows.BytesOf(BackupPath()) == (hadHosts ? in.hosts : Marker()));
  const std::uint32_t locked = quietreel::kAttributeHidden | quietreel::kAttributeReadOnly | quietreel::kAttributeSystem;
  FUZZ_CHECK((windows.AttributesOf(FakeWindows::kHostsPath) & locked) == locked);
  if (list.empty()) {
    FUZZ_CHECK(boxes.empty());
  } else {
    FUZZ_CHECK(boxes.size() == 1 && boxes[0].kind == FakeWindow::BoxKind::kNotice &&
               boxes[0].text == L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！");
  }
}

// With one call failing, what the hosts file held (its bytes, or its absence,
// for which the marker stands) must survive in the hosts file or in `backup`,
// and success is claimed only for a hosts file that really got the list.
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
  const bool claimed = !boxes.empty() && boxes[0].text == L"恭喜您，屏蔽广告成功，请重启浏览器查看效果！！";
  if (claimed) {
    const std::string list = ExpectedList(windows, in.coreDat);
    const std::string original = in.state == kClean ? in.hosts : "";
    // A tail that could not be read is taken not to end a line.
    FUZZ_CHECK(hostsBytes == original + list || hostsBytes == original + "\r\n" + list);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Parse(data, size);
  FakeWindows windows;
  windows.SetCodePageKind(in.doubleByte ? FakeWindows::CodePageKind::kDoubleByte
                                        : FakeWindows::CodePageKind::kLatin1);
  const std::uint32_t hostsAttributes =
      in.protectedHosts ? quietreel::kAttributeHidden | quietreel::kAttributeReadOnly | quietreel::kAttributeSystem : 0;
  if (in.state == kClean || in.state == kBlocked) windows.AddFile(FakeWindows::kHostsPath, in.hosts, hostsAttributes);
  if (in.state == kBlocked) windows.AddFile(BackupPath(), in.hosts.substr(0, in.hosts.size() / 2));
  if (in.state == kOrphaned) windows.AddFile(BackupPath(), kStaleBackup);
  windows.AddFile(CoreDatPath(), in.coreDat);

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
