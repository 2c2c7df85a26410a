#include "collectors/storage/ata_power.h"

namespace tavrin::collectors {

AtaPowerMode DecodeAtaPowerMode(uint8_t count) {
  switch (count) {
    case 0xFF:
    case 0x41:  // the drive's non-volatile cache is in use with the spindle turning
      return AtaPowerMode::kActiveOrIdle;
    case 0x80:
    case 0x81:
    case 0x82:
    case 0x83:
      return AtaPowerMode::kIdle;
    case 0x00:
    case 0x01:
    case 0x40:  // served from the non-volatile cache with the spindle stopped
      return AtaPowerMode::kStandby;
    default:
      return AtaPowerMode::kUnknown;
  }
}

}  // namespace tavrin::collectors
