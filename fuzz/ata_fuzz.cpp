// libFuzzer target: the IDENTIFY, S.M.A.R.T. data and threshold decoders and the NVMe identify
// and health-log decoders over arbitrary bytes. The first byte chooses how the rest is cut:
// one sector for every decoder, or a data sector followed by a threshold sector.
#include <cstddef>
#include <cstdint>
#include <span>

#include "collectors/storage/ata_identify.h"
#include "collectors/storage/ata_smart.h"
#include "collectors/storage/nvme_log.h"

using namespace tavrin::collectors;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  if (data[0] & 1) {
    const std::size_t half = bytes.size() / 2;
    if (auto smart = DecodeSmartData(bytes.first(half))) {
      ApplySmartThresholds(*smart, bytes.subspan(half));
      for (const SmartAttribute& a : smart->attributes) (void)SmartAttributeName(a.id);
    }
    return 0;
  }
  if (auto id = DecodeAtaIdentify(bytes)) {
    (void)AddressableSectorsOf(*id);
    (void)AtaStandardName(id->majorVersion);
  }
  (void)DecodeSmartData(bytes);
  (void)DecodeNvmeIdentifyController(bytes);
  if (auto h = DecodeNvmeHealthLog(bytes)) (void)NvmeHealth::UnitsToBytes(h->dataUnitsRead);
  return 0;
}
