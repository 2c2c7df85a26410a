// Collector of printers: every print queue with its driver, port, share, location and comment,
// and the default printer.
#pragma once

#include <string>
#include <vector>

#include "collectors/collector.h"
#include "platform/printers.h"

namespace tavrin::collectors {

struct TPrinterRecord {
  std::string PrinterName, Driver, Comment, Location, Port, Share, DriverPath, DriverVersion,
      Monitor;
  // What the Linux source adds.
  bool Shared = false;
  std::string State;  ///< "idle", "printing", "stopped"
  std::string StateReasons;
  // What a Windows source adds: whether the driver query answered, and why the driver file's
  // version is not known.
  platform::Provenance DriverSource, DriverVersionSource;
};

class TVexa_Printers : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Printers(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Printers", "Printers", std::move(services)) {}

  void RefreshData() override;

  std::string DefaultPrinter;
  int32_t PrinterCount() const { return static_cast<int32_t>(printers_.size()); }
  const std::vector<TPrinterRecord>& Printers() const { return printers_; }
  /// A copy of the record at `index`; an empty record outside the list.
  TPrinterRecord Printer(int32_t index) const;

  platform::Provenance Source;
  bool FromWindows = false;  ///< the list comes from the Windows print spooler

 private:
  void RefreshWindows(const platform::PrinterService& service,
                      const platform::Answer<platform::WindowsPrinterList>& list);
  std::vector<TPrinterRecord> printers_;
};

}  // namespace tavrin::collectors
