// Cost of decoding a monitor identification block: a base block with a CTA-861 extension, the
// shape most external monitors have.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "collectors/display/edid_decode.h"

namespace {

void FixChecksum(uint8_t* block) {
  uint8_t sum = 0;
  for (int i = 0; i < 127; ++i) sum = static_cast<uint8_t>(sum + block[i]);
  block[127] = static_cast<uint8_t>(0x100 - sum);
}

std::string MonitorBlock() {
  std::array<uint8_t, 256> b{};
  const uint8_t head[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10, 0xAC,
                          0x4A, 0xA0, 0x78, 0x56, 0x34, 0x12, 12,   27,   1,    3,
                          0x80, 53,   30,   120,  0x2A, 0xEE, 0x91, 0xA3, 0x54, 0x4C,
                          0x99, 0x26, 0x0F, 0x50, 0x54, 0xA5, 0x4B, 0x00};
  std::copy(std::begin(head), std::end(head), b.begin());
  for (int i = 0x26; i < 0x36; i += 2) b[i] = 0xD1, b[i + 1] = 0xC0;  // standard timings
  const uint8_t dtd[18] = {0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58,
                           0x2C, 0x45, 0x00, 0x09, 0x25, 0x21, 0x00, 0x00, 0x1E};
  std::copy(std::begin(dtd), std::end(dtd), b.begin() + 0x36);
  const uint8_t name[18] = {0,   0,    0,   0xFC, 0,   'B', 'E', 'N', 'C',
                            'H', 0x0A, ' ', ' ',  ' ', ' ', ' ', ' ', ' '};
  std::copy(std::begin(name), std::end(name), b.begin() + 0x48);
  b[126] = 1;
  FixChecksum(b.data());
  uint8_t* x = b.data() + 128;
  const uint8_t cta[] = {0x02, 0x03, 0x00, 0xF1, 0x4B, 0x90, 0x1F, 0x05, 0x14, 0x04,
                         0x13, 0x03, 0x12, 0x02, 0x11, 0x01, 0x23, 0x09, 0x07, 0x07,
                         0x83, 0x01, 0x00, 0x00, 0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};
  std::copy(std::begin(cta), std::end(cta), x);
  x[2] = sizeof cta;
  for (int i = 0; i < 4; ++i) std::copy(std::begin(dtd), std::end(dtd), x + sizeof cta + 18 * i);
  FixChecksum(x);
  return std::string(b.begin(), b.end());
}

void BM_DecodeMonitorBlock(benchmark::State& state) {
  const std::string block = MonitorBlock();
  for (auto _ : state)
    benchmark::DoNotOptimize(tavrin::collectors::edid::DecodeEdid(block).extensions.size());
}
BENCHMARK(BM_DecodeMonitorBlock)->Unit(benchmark::kNanosecond);

}  // namespace
