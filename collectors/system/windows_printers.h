// The printers of a Windows machine's print spooler and its default printer.
#pragma once

#include <string>
#include <string_view>

#include "collectors/system/vsi_printers.h"
#include "platform/printers.h"

namespace tavrin::collectors {

/// The spooler's error for a printer name it cannot take.
inline constexpr uint32_t kErrorInvalidName = 123;

/// The record of one listed printer, before its driver is asked.
TPrinterRecord PrinterFromWindows(const platform::WindowsPrinterInfo& info);

/// The printer a profile "device" entry names: the text before its first ","
/// ("HP LaserJet,winspool,Ne00:" gives "HP LaserJet").
std::string ProfileDevicePrinter(std::string_view device);

/// The default printer: the first printer the spooler lists as the default; else, unless the
/// spooler refused the query for an invalid name, the printer of the profile's entry.
std::string DefaultPrinterName(const platform::Answer<platform::WindowsPrinterList>& defaults,
                               const platform::Answer<std::string>& profileDevice);

}  // namespace tavrin::collectors
