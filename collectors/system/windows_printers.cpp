#include "collectors/system/windows_printers.h"

namespace tavrin::collectors {

TPrinterRecord PrinterFromWindows(const platform::WindowsPrinterInfo& info) {
  TPrinterRecord p;
  p.PrinterName = info.printerName;
  p.Driver = info.driverName;
  p.Comment = info.comment;
  p.Location = info.location;
  p.Port = info.portName;
  p.Share = info.shareName;
  p.Shared = !info.shareName.empty();
  return p;
}

std::string ProfileDevicePrinter(std::string_view device) {
  return std::string(device.substr(0, device.find(',')));
}

std::string DefaultPrinterName(const platform::Answer<platform::WindowsPrinterList>& defaults,
                               const platform::Answer<std::string>& profileDevice) {
  if (defaults) {
    if (!defaults->printers.empty()) return defaults->printers.front().printerName;
    if (defaults->error == kErrorInvalidName) return {};
  }
  return profileDevice ? ProfileDevicePrinter(*profileDevice) : std::string();
}

void TVexa_Printers::RefreshWindows(const platform::PrinterService& service,
                                    const platform::Answer<platform::WindowsPrinterList>& list) {
  FromWindows = true;
  Source = list.source;
  for (const auto& info : list.value_or({}).printers) {
    TPrinterRecord p = PrinterFromWindows(info);
    auto driver = service.PrinterDriver(info.printerName);
    p.DriverSource = driver.source;
    if (driver) {
      p.DriverPath = driver->driverPath;
      p.Monitor = driver->monitorName;
      // The version is in the driver file's version resource; a snapshot holds the
      // spooler's answers, not the driver files.
      p.DriverVersionSource = platform::Provenance::Failure(
          platform::Status::NotSupported, p.DriverPath,
          "the driver file's version resource is not in the snapshot");
    }
    printers_.push_back(std::move(p));
  }
  DefaultPrinter = DefaultPrinterName(service.EnumPrinters(platform::kPrinterEnumDefault),
                                      service.ProfileString("windows", "device"));
}

}  // namespace tavrin::collectors
