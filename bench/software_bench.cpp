// Decoding a package database of the size a desktop system with many packages reaches.
#include <benchmark/benchmark.h>

#include "collectors/os/dpkg_status.h"
#include "collectors/os/software_sources.h"
#include "platform/software.h"

namespace {

using namespace tavrin;

// A status file of about `bytes` bytes, paragraphs shaped like dpkg's own (long multi-line
// descriptions make up most of a real one).
std::string StatusText(std::size_t bytes) {
  std::string text;
  text.reserve(bytes + 4096);
  for (int i = 0; text.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    text += "Package: package-" + n +
            "\nStatus: install ok installed\nPriority: optional\n"
            "Section: libs\nInstalled-Size: " +
            std::to_string(100 + i % 5000) +
            "\nMaintainer: Debian Team <team@lists.debian.org>\nArchitecture: amd64\n"
            "Multi-Arch: same\nSource: source-" +
            n + "\nVersion: 1." + n +
            "-1+b1\n"
            "Depends: libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)\n"
            "Description: a package of the benchmark number " +
            n + "\n";
    for (int line = 0; line < 8; ++line)
      text += " This line continues the long description of the package, as real ones do.\n";
    text += "Homepage: https://example.org/" + n + "\n\n";
  }
  return text;
}

void BM_ParseDpkgStatus50MB(benchmark::State& state) {
  const std::string text = StatusText(50u << 20);
  for (auto _ : state) benchmark::DoNotOptimize(collectors::ParseDpkgStatus(text).size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseDpkgStatus50MB)->Unit(benchmark::kMillisecond);

// The whole way to the collector's records: decoding, journal, file-list times, copies.
void BM_DpkgRecords50MB(benchmark::State& state) {
  platform::DpkgDatabase db;
  db.status = StatusText(50u << 20);
  for (int i = 0; i < 60000; i += 2)
    db.listTimes["package-" + std::to_string(i) + ":amd64.list"] = i;
  for (auto _ : state) benchmark::DoNotOptimize(collectors::DpkgRecords(db).size());
}
BENCHMARK(BM_DpkgRecords50MB)->Unit(benchmark::kMillisecond);

}  // namespace
