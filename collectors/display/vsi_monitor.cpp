#include "collectors/display/vsi_monitor.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "collectors/devices/vsi_devices.h"
#include "collectors/display/edid_decode.h"
#include "platform/display.h"

namespace tavrin::collectors {
namespace {

using platform::Provenance;
using platform::Status;

constexpr uint8_t kMonitorClass = 18;  // "Monitor" in the device class table

// "AAA<TAB>Name" lines of the PNP id list.
std::string PnpName(const std::string& lines, const std::string& id) {
  std::istringstream in(lines);
  std::string line;
  while (std::getline(in, line))
    if (line.size() > 4 && line.compare(0, 3, id) == 0 && line[3] == '\t') return line.substr(4);
  return {};
}

}  // namespace

void TakeBlock(const edid::Edid& e, TMonitorRecord& r) {
  r.Block = e;
  r.HasBlock = true;
  r.Name = e.name;
  r.ProductNumber = e.serialText;
  r.Width = e.widthCm;
  r.Height = e.heightCm;
  r.SerialNumber = e.serialNumber;
  r.Week = e.week;
  r.Year = e.truncated() && e.length < 18 ? 1990 : e.year;
  r.ManufacturerCode = e.manufacturerCode;
  r.ProductCode = e.productCode;
  r.Gamma = (e.gammaByte + 100) / 100.0;
  r.EDID_Version = std::to_string(e.version) + "." + std::to_string(e.revision);
}

void TVexa_Monitor::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  records_.clear();
  const platform::DisplayService* service = Platform().display.get();
  if (!service) {
    Source = Provenance::Failure(Status::NotSupported, "display service",
                                 "the source has no display information");
    return;
  }
  // A Windows registry: the monitor devices of the device list and their "EDID" values.
  if (Platform().devices) {
    TVexa_Devices list(SharedPlatform());
    list.RefreshData();
    for (const auto& d : list.List()) {
      if (d.DeviceClass != kMonitorClass || d.FromDeviceModel) continue;
      TMonitorRecord r;
      r.RegistryKey = d.RegKey;
      r.DeviceDescription = d.Description;
      r.Model = d.Name;
      r.Manufacturer = d.Manufacturer;
      auto block = service->MonitorEdid(d.RegKey);
      r.BlockSource = block.source;
      if (block) {
        TakeBlock(edid::DecodeEdid(*block), r);
      }
      records_.push_back(std::move(r));
    }
  }
  // The kernel's connectors: every connector with a monitor block, or connected.
  auto cards = service->Cards();
  Source = cards.source;
  if (cards) {
    for (const auto& card : *cards)
      for (const auto& c : card.connectors) {
        const bool hasBlock = c.edid.ok() && !c.edid->empty();
        if (!hasBlock && c.status != "connected") continue;
        TMonitorRecord r;
        r.RegistryKey = c.name;
        r.Card = card.name;
        const auto dash = c.name.find('-');
        r.Connector = dash == std::string::npos ? c.name : c.name.substr(dash + 1);
        r.DeviceDescription = card.name + " " + r.Connector;
        r.Status = c.status;
        r.Enabled = c.enabled;
        r.Dpms = c.dpms;
        r.BlockSource = c.edid.source;
        if (hasBlock) TakeBlock(edid::DecodeEdid(*c.edid), r);
        // Built-in panels often name themselves only in their data strings.
        r.Model = !r.Name.empty() ? r.Name : r.Block.dataString;
        records_.push_back(std::move(r));
      }
  }
  if (records_.empty() && cards)
    Source = Provenance::Failure(Status::Missing, cards.source.source,
                                 "no connector has a monitor connected");
  // Makers' names from the system's PNP id list, asked for the ids present only.
  std::set<std::string> ids;
  for (const auto& r : records_)
    if (r.HasBlock && !r.Block.manufacturerId.empty()) ids.insert(r.Block.manufacturerId);
  if (ids.empty()) return;
  auto names = service->PnpNames({ids.begin(), ids.end()});
  for (auto& r : records_) {
    r.ManufacturerSource = names.source;
    if (!names || !r.HasBlock) continue;
    const std::string name = PnpName(*names, r.Block.manufacturerId);
    if (!name.empty()) r.Manufacturer = name;
  }
}

}  // namespace tavrin::collectors
