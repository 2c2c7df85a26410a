// Print queues as the print scheduler describes them. Read only: nothing is ever printed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// One destination: its name and the attributes the scheduler lists for it
/// ("printer-info", "printer-location", "printer-make-and-model", "device-uri",
/// "printer-is-shared", "printer-state", ...), as texts.
struct PrinterRecord {
  std::string name;
  std::string instance;  ///< empty for the queue itself
  bool isDefault = false;
  std::map<std::string, std::string> options;
};

/// `uri` with any user name and password left out ("ipp://printer.local/queue"). Printer
/// addresses may carry credentials; they are dropped where the address is read, so no page,
/// report or snapshot ever holds them.
std::string UriWithoutCredentials(std::string_view uri);

/// The texts of one PRINTER_INFO_2 record of the Windows print spooler's list.
struct WindowsPrinterInfo {
  std::string serverName, printerName, shareName, portName, driverName, comment, location;
  uint32_t attributes = 0;  ///< PRINTER_ATTRIBUTE_* bits (0x10 network, 0x40 local)
};

/// What EnumPrinters answered: the records, or the system's error code of its size query.
struct WindowsPrinterList {
  uint32_t error = 0;
  std::vector<WindowsPrinterInfo> printers;
};

/// The texts of a printer's DRIVER_INFO_3 that are read.
struct WindowsDriverInfo {
  std::string name, driverPath, monitorName;
};

// EnumPrinters flags.
inline constexpr uint32_t kPrinterEnumDefault = 0x1, kPrinterEnumLocal = 0x2,
                          kPrinterEnumConnections = 0x4;

class PrinterService {
 public:
  virtual ~PrinterService() = default;
  virtual Answer<std::vector<PrinterRecord>> Printers() const = 0;

  // Windows print spooler calls; not supported elsewhere.
  /// EnumPrinters at level 2 with `flags` and no name.
  virtual Answer<WindowsPrinterList> EnumPrinters(uint32_t flags) const = 0;
  /// OpenPrinter on `printer` and GetPrinterDriver at level 3 with no environment; fails
  /// when the printer does not open.
  virtual Answer<WindowsDriverInfo> PrinterDriver(const std::string& printer) const = 0;
  /// GetProfileString of the user's profile (`section`, `key`), empty default.
  virtual Answer<std::string> ProfileString(const std::string& section,
                                            const std::string& key) const = 0;
};

}  // namespace tavrin::platform
