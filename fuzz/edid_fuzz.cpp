// libFuzzer target: the identification block decoder (base block, CTA-861 and DisplayID
// extensions) over arbitrary bytes, whole and cut at every block boundary the input allows.
#include <cstddef>
#include <cstdint>
#include <span>

#include "collectors/display/edid_decode.h"

using namespace tavrin::collectors::edid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const Edid e = DecodeEdid(bytes);
  // Reading every decoded mode makes the sanitizers check what the decoder handed out.
  double sum = e.preferred ? e.preferred->refreshHz : 0;
  for (const auto& x : e.extensions) {
    if (x.cta)
      for (const auto& t : x.cta->videoCodes) sum += t.width;
    if (x.displayId)
      for (const auto& t : x.displayId->detailed) sum += t.refreshHz;
  }
  // Each 128-byte block on its own, as each extension decoder, too.
  for (std::size_t at = 0; at + 128 <= size; at += 128) {
    std::span<const uint8_t, 128> block(data + at, 128);
    sum += DecodeCtaBlock(block).detailed.size();
    sum += DecodeDisplayIdBlock(block).detailed.size();
  }
  return sum < -1 ? 1 : 0;
}
