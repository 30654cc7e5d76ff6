// How the decoder and Block cost grows with core.dat, beside a plain copy of
// the same bytes in the same run. Sizes are those of core.dat: 1 KiB, 64 KiB,
// 1 MiB and 16 MiB, made from the shipped list repeated.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "CountingAllocator.h"
#include "fake/FakeWindows.h"
#include "base/Sha256.h"
#include "hosts/BlockListCodec.h"
#include "hosts/HostsBlocker.h"

namespace {

using quietreel::fake::FakeWindow;
using quietreel::fake::FakeWindows;

// core.dat of about `size` bytes: the shipped list with its body repeated
// between its two markers, encoded (every plain byte takes two).
std::string CoreDatOfSize(std::size_t size) {
  std::ifstream in(QUIETREEL_SOURCE_DIR "/data/blocklist.txt", std::ios::binary);
  const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t bodyStart = list.find('\n') + 1;
  const std::size_t bodyEnd = list.rfind('\n', list.size() - 2) + 1;
  const std::string begin = list.substr(0, bodyStart), body = list.substr(bodyStart, bodyEnd - bodyStart),
                    end = list.substr(bodyEnd);
  std::string plain;
  while (plain.size() + begin.size() + end.size() < size / 2) plain += body;
  plain.resize(size / 2 - std::min(size / 2, begin.size() + end.size()));
  plain.resize(plain.rfind('\n') + 1);  // whole lines: the program refuses a cut one
  return quietreel::EncodeBlockList(quietreel::kBlockListBaseChar, begin + plain + end, quietreel::kBlockListSeed);
}

void Sizes(benchmark::internal::Benchmark* bench) {
  // The program takes lists of up to 1 MiB: core.dat of up to 2 MiB.
  for (long size : {1L << 10, 64L << 10, 1L << 20, 2L << 20}) bench->Arg(size);
}

// The floor: the same bytes copied into a new buffer, as reading the file does.
void BM_CopyBytes(benchmark::State& state) {
  const std::string bytes = CoreDatOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string copy(bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CopyBytes)->Apply(Sizes);

void BM_DecodeBlockList(benchmark::State& state) {
  const std::string bytes = CoreDatOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string plain = quietreel::DecodeBlockList(quietreel::kBlockListBaseChar, bytes, quietreel::kBlockListSeed);
    benchmark::DoNotOptimize(plain.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_DecodeBlockList)->Apply(Sizes);

// Block from Clean on the fake: read, decode, convert, save the hosts file,
// append. The machine is set up again, untimed, before each run. Peak heap
// is what Block held at most above what the machine held before it, the
// fake's "disk" included (the appended list lands in the fake's memory).
void BM_Block(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string coreDat = CoreDatOfSize(size);
  const std::wstring coreDatPath = FakeWindows::kProgramDirectory + L"\\core.dat";
  const std::wstring backupPath = FakeWindows::kProgramDirectory + L"\\backup";
  std::size_t peak = 0;
  std::size_t kept = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      FakeWindows machine;
      machine.AddFile(coreDatPath, coreDat);
      machine.AddFile(FakeWindows::kHostsPath, "127.0.0.1 localhost\r\n");
      FakeWindow owner;
      quietreel::Services services = machine.MakeServices();
      services.shippedListSha256 = quietreel::Sha256Hex(coreDat);
      const std::size_t before = quietreel::bench::HeapBytesNow();
      quietreel::bench::ResetHeapPeak();
      state.ResumeTiming();
      quietreel::Block(services, owner);
      state.PauseTiming();
      peak = std::max(peak, quietreel::bench::HeapBytesPeak() - before);
      kept = quietreel::bench::HeapBytesNow() - before;
      if (owner.Boxes().size() != 1 || machine.BytesOf(backupPath).empty()) state.SkipWithError("Block failed");
    }
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.counters["peak_heap"] = static_cast<double>(peak);
  state.counters["peak_per_file_byte"] = static_cast<double>(peak) / static_cast<double>(size);
  state.counters["kept_per_file_byte"] = static_cast<double>(kept) / static_cast<double>(size);
}
// Block takes lists of up to 10,000 hosts: core.dat of up to 1 MiB here.
BENCHMARK(BM_Block)->Arg(1L << 10)->Arg(64L << 10)->Arg(1L << 20);

}  // namespace

// Large blocks come from the heap and stay there between runs. Otherwise
// glibc maps every block over 32 MiB afresh and the run measures first-touch
// page faults (about 16 us each on the machine measured), not the code; a
// program that runs once pays those for any buffer, the copy's as much.
int main(int argc, char** argv) {
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
