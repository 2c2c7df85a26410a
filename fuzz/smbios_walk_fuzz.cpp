// libFuzzer target: the SMBIOS entry point search, structure walk, string lookup and record
// decoding over arbitrary bytes. The first bytes choose the SMBIOS version the decoder
// assumes, so the version-dependent fields are reached too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_table.h"
#include "platform/smbios_entry_point.h"

using namespace tavrin::collectors::smbios;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const SmbiosVersion version{static_cast<uint8_t>(data[0] & 0x03 ? 3 : 2),
                              static_cast<uint8_t>(data[1] & 0x0F)};
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);

  (void)tavrin::platform::FindEntryPoint(bytes);
  const auto walk = WalkStructures(bytes);
  for (const auto& entry : walk.index) {
    for (uint8_t n = 0; n < 8; ++n) (void)GetStructureString(bytes, entry.address, entry.length, n);
  }
  const auto values = DecodeSmbios(bytes, walk.index, version);
  (void)values;
  return 0;
}
