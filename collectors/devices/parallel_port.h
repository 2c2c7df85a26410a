// A parallel port as the kernel's parport driver describes it, decoded from its texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tavrin::collectors {

/// The IEEE 1284 identification an attached device gave when the port probed it.
struct TParallelDeviceId {
  std::string Manufacturer, Model, Class, Description, CommandSet;
  bool empty() const { return Manufacturer.empty() && Model.empty() && Class.empty(); }
};

struct TParallelPort {
  std::string Name;                     ///< "parport0"
  std::vector<uint32_t> BaseAddresses;  ///< the port's I/O base, then its ECP base when it has one
  std::optional<int> Irq, Dma;          ///< nullopt when the port uses none
  std::vector<std::string> Modes;       ///< "PCSPP", "TRISTATE", "EPP", "ECP" ...
  std::string ActiveDevice;             ///< the driver holding the port ("lp0"); empty when none
  TParallelDeviceId Attached;           ///< what answered the probe, first daisy-chain place first
  platform::Provenance Source;
};

/// Decodes one port's texts; missing or malformed texts leave their fields empty.
TParallelPort DecodeParallelPort(const platform::ParallelPortRecord& record);

/// The fields of an IEEE 1284 device id, in either form: the device's own
/// "MFG:x;MDL:y;CLS:PRINTER;" or the driver's one-field-per-line "MANUFACTURER:x;".
TParallelDeviceId ParseParallelDeviceId(std::string_view text);

}  // namespace tavrin::collectors
