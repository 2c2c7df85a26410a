// Ports the kernel drives beside the device list: the parallel ports of the parport driver,
// with the texts the driver writes about each (addresses, IRQ, DMA, modes, and the IEEE 1284
// identification of what is attached). Decoding is the collector's work.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

struct ParallelPortRecord {
  std::string name;  ///< "parport0"
  /// The driver's files of the port by name ("base-addr", "irq", "dma", "modes",
  /// "autoprobe", "autoprobe0".."autoprobe3", "active" for the claiming device), as written;
  /// a file the kernel did not provide is absent.
  std::map<std::string, std::string> texts;
  Provenance source;
};

class PortService {
 public:
  virtual ~PortService() = default;
  /// Every parallel port in name order; Missing when no parallel port driver is loaded.
  virtual Answer<std::vector<ParallelPortRecord>> ParallelPorts() const = 0;
};

}  // namespace tavrin::platform
