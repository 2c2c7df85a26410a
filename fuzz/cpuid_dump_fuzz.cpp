// libFuzzer target: the CPUID register dump reader over arbitrary text, in every layout it
// knows (line layouts under their headers, key=value), then the processor service built
// from what it read, asked for leaves and sub-leaves as the processor collector would, and
// the kernel record reader of cpuid/kernel.json.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/recorded/recorded_processor.h"
#include "platform/snapshot_json.h"

using namespace tavrin::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string why;
  auto service = LoadProcessorDump(text, "fuzz.txt", why);
  if (service) {
    (void)service->SystemInfo();
    const uint32_t max_leaf = service->ExecuteCPUID(0).eax;
    for (uint32_t leaf = 0; leaf <= max_leaf && leaf < 0x40; ++leaf)
      for (uint32_t sub = 0; sub < 3; ++sub) (void)service->ExecuteCPUID(leaf, sub);
    (void)service->ExecuteCPUID(0x80000000);
    (void)FormatCpuidDump({service->ReadLeaves()});
  }
  try {
    (void)KernelRecordFromJson(text);
  } catch (const SnapshotFileError&) {
    // A wrong type is refused with the field named: the expected outcome.
  }
  return 0;
}
