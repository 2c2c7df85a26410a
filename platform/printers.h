// Print queues as the print scheduler describes them. Read only: nothing is ever printed.
#pragma once

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

class PrinterService {
 public:
  virtual ~PrinterService() = default;
  virtual Answer<std::vector<PrinterRecord>> Printers() const = 0;
};

}  // namespace tavrin::platform
