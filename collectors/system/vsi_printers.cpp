#include "collectors/system/vsi_printers.h"

#include "platform/printers.h"

namespace tavrin::collectors {
namespace {

std::string Option(const platform::PrinterRecord& r, const std::string& name) {
  auto it = r.options.find(name);
  return it == r.options.end() ? std::string() : it->second;
}

// IPP printer-state values (RFC 8011, 5.4.11).
std::string StateName(std::string_view code) {
  if (code == "3") return "idle";
  if (code == "4") return "printing";
  if (code == "5") return "stopped";
  return std::string(code);
}

}  // namespace

void TVexa_Printers::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  printers_.clear();
  DefaultPrinter.clear();
  FromWindows = false;
  const auto& service = Platform().printers;
  if (!service) {
    Source = platform::Provenance::Failure(platform::Status::NotSupported, "printers",
                                           "the source holds no printers");
    return;
  }
  // A Windows machine's spooler lists the local printers, and on the NT family the printer
  // connections too; elsewhere it is not supported.
  const uint32_t flags = OsVersionSnapshot().platform == platform::OsPlatform::WindowsNT
                             ? platform::kPrinterEnumLocal | platform::kPrinterEnumConnections
                             : platform::kPrinterEnumLocal;
  if (auto list = service->EnumPrinters(flags);
      list.source.status != platform::Status::NotSupported) {
    RefreshWindows(*service, list);
    return;
  }
  auto list = service->Printers();
  Source = list.source;
  for (const auto& r : list.value_or({})) {
    // Instances are saved option sets of a queue, not printers of their own.
    if (!r.instance.empty()) continue;
    TPrinterRecord p;
    p.PrinterName = r.name;
    p.Driver = Option(r, "printer-make-and-model");
    p.Comment = Option(r, "printer-info");
    p.Location = Option(r, "printer-location");
    p.Port = platform::UriWithoutCredentials(Option(r, "device-uri"));
    p.Shared = Option(r, "printer-is-shared") == "true";
    if (p.Shared) p.Share = r.name;
    p.State = StateName(Option(r, "printer-state"));
    p.StateReasons = Option(r, "printer-state-reasons");
    if (p.StateReasons == "none") p.StateReasons.clear();
    if (r.isDefault) DefaultPrinter = r.name;
    printers_.push_back(std::move(p));
  }
}

TPrinterRecord TVexa_Printers::Printer(int32_t index) const {
  if (index < 0 || index >= PrinterCount()) return {};
  return printers_[static_cast<std::size_t>(index)];
}

}  // namespace tavrin::collectors
