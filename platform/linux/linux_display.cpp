// The kernel's view of the graphics hardware, read through the file reader: the mode-setting
// cards of /sys/class/drm with the device behind each and its connectors, the frame buffer
// console, and the PNP id list that names monitor makers.
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "platform/display_session.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kDrm = "/sys/class/drm";
constexpr std::string_view kPnpIds = "/usr/share/hwdata/pnp.ids";
// PCI resource flag of a prefetchable memory window (include/linux/ioport.h IORESOURCE_PREFETCH).
constexpr uint64_t kPrefetchable = 0x2000;

std::string BaseName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// Resolves a sysfs link target relative to the link's folder.
std::string Resolve(std::string_view linkPath, const std::string& target) {
  if (!target.empty() && target.front() == '/') return target;
  return (std::filesystem::path(linkPath).parent_path() / target).lexically_normal().string();
}

uint32_t Hex(const Answer<std::string>& text) {
  if (!text) return 0;
  try {
    return static_cast<uint32_t>(std::stoul(*text, nullptr, 16));
  } catch (...) {
    return 0;
  }
}

// The largest prefetchable memory window of a PCI "resource" file (start end flags per line).
Answer<uint64_t> ApertureSize(const FileReader& files, const std::string& device) {
  const std::string path = device + "/resource";
  auto text = files.ReadFile(path, 65536);
  if (!text) return {std::nullopt, text.source};
  std::istringstream in(*text);
  uint64_t start = 0, end = 0, flags = 0, best = 0;
  in >> std::hex;
  while (in >> start >> end >> flags)
    if ((flags & kPrefetchable) && end > start) best = std::max(best, end - start + 1);
  if (best == 0) return Answer<uint64_t>::Fail(Status::Missing, path, "no prefetchable window");
  return Answer<uint64_t>::Of(best, path);
}

DisplayConnector ReadConnector(const FileReader& files, const std::string& name) {
  const std::string dir = std::string(kDrm) + "/" + name;
  DisplayConnector c;
  c.name = name;
  c.status = files.ReadLine(dir + "/status").value_or("");
  c.enabled = files.ReadLine(dir + "/enabled").value_or("");
  c.dpms = files.ReadLine(dir + "/dpms").value_or("");
  if (auto modes = files.ReadFile(dir + "/modes", 65536)) {
    std::istringstream in(*modes);
    std::string line;
    while (std::getline(in, line))
      if (!line.empty()) c.modes.push_back(line);
  }
  c.edid = files.ReadFile(dir + "/edid", 65536);
  if (c.edid && c.edid->empty())
    c.edid = Answer<std::string>::Fail(Status::Missing, dir + "/edid", "no monitor answered");
  return c;
}

GraphicsCard ReadCard(const FileReader& files, const std::string& card,
                      const std::vector<std::string>& entries) {
  GraphicsCard g;
  g.name = card;
  // /sys/class/drm/card0 links to the card's folder under its device; the device link inside
  // it is relative to that folder, so the card's own link is resolved first.
  std::string cardPath = std::string(kDrm) + "/" + card;
  if (auto target = files.ReadLink(cardPath)) cardPath = Resolve(cardPath, *target);
  const std::string link = cardPath + "/device";
  std::string device = link;
  if (auto target = files.ReadLink(link)) device = Resolve(link, *target);
  g.devicePath = device;
  if (auto sub = files.ReadLink(device + "/subsystem")) g.bus = BaseName(*sub);
  g.vendorId = Hex(files.ReadLine(device + "/vendor"));
  g.deviceId = Hex(files.ReadLine(device + "/device"));
  g.subVendorId = Hex(files.ReadLine(device + "/subsystem_vendor"));
  g.subDeviceId = Hex(files.ReadLine(device + "/subsystem_device"));
  g.revision = Hex(files.ReadLine(device + "/revision"));
  g.classCode = Hex(files.ReadLine(device + "/class"));
  g.bootVga = files.ReadLine(device + "/boot_vga").value_or("") == "1";
  if (auto driver = files.ReadLink(device + "/driver")) g.driver = BaseName(*driver);
  if (auto module = files.ReadLink(device + "/driver/module")) {
    g.driverVersion = files.ReadLine("/sys/module/" + BaseName(*module) + "/version").value_or("");
  }
  g.kernelRelease = files.ReadLine("/proc/sys/kernel/osrelease").value_or("");
  const std::string vram = device + "/mem_info_vram_total";
  if (auto text = files.ReadLine(vram)) {
    try {
      g.videoMemory = Answer<uint64_t>::Of(std::stoull(*text), vram);
    } catch (...) {
      g.videoMemory = Answer<uint64_t>::Fail(Status::Malformed, vram, *text);
    }
  } else {
    g.videoMemory = {std::nullopt, text.source};
  }
  if (g.bus == "pci") {
    g.apertureSize = ApertureSize(files, device);
  } else {
    g.apertureSize = Answer<uint64_t>::Fail(Status::NotSupported, device, "not a PCI device");
  }
  g.biosVersion = files.ReadLine(device + "/vbios_version");
  // Only whether the image could be opened matters; a byte is enough to find out.
  const std::string rom = device + "/rom";
  auto image = files.ReadFile(rom, 1);
  g.biosImage = image ? Provenance::Answered(rom) : image.source;
  if (image.source.status == Status::PermissionDenied) g.biosImage.detail = "readable by root only";
  const std::string prefix = card + "-";
  for (const auto& e : entries)
    if (e.rfind(prefix, 0) == 0) g.connectors.push_back(ReadConnector(files, e));
  return g;
}

class SysfsDisplayService : public DisplayService {
 public:
  SysfsDisplayService(std::shared_ptr<const FileReader> files,
                      std::shared_ptr<const DisplaySession> session)
      : files_(std::move(files)), session_(std::move(session)) {}

  Answer<std::vector<GraphicsCard>> Cards() const override {
    auto entries = files_->ListDir(kDrm);
    if (!entries) {
      Provenance p = entries.source;
      if (p.status == Status::Missing) p.detail = "no kernel mode-setting driver is loaded";
      return {std::nullopt, p};
    }
    std::vector<GraphicsCard> cards;
    for (const auto& e : *entries) {
      // "card0" itself; "card0-HDMI-A-1" are its connectors, "renderD128" its render node.
      if (e.rfind("card", 0) != 0 || e.find('-') != std::string::npos) continue;
      cards.push_back(ReadCard(*files_, e, *entries));
    }
    return Answer<std::vector<GraphicsCard>>::Of(std::move(cards), std::string(kDrm));
  }

  Answer<SessionScreens> Screens() const override { return session_->Screens(); }
  GraphicsApis Apis() const override { return session_->Apis(); }
  Answer<std::map<int, int32_t>> DeviceCaps() const override { return session_->DeviceCaps(); }
  Answer<std::vector<std::array<int32_t, 3>>> DisplayModes() const override {
    return session_->DisplayModes();
  }

  Answer<int32_t> FramebufferDepth() const override {
    const std::string path = "/sys/class/graphics/fb0/bits_per_pixel";
    auto text = files_->ReadLine(path);
    if (!text) return {std::nullopt, text.source};
    try {
      return Answer<int32_t>::Of(std::stoi(*text), path);
    } catch (...) {
      return Answer<int32_t>::Fail(Status::Malformed, path, *text);
    }
  }

  Answer<std::string> PnpNames(const std::vector<std::string>& ids) const override {
    auto text = files_->ReadFile(kPnpIds);
    if (!text) {
      Provenance p = text.source;
      if (p.status == Status::Missing) p.detail = "the hwdata package is not installed";
      return {std::nullopt, p};
    }
    return Answer<std::string>::Of(FilterPnpIds(*text, ids), std::string(kPnpIds));
  }

 private:
  std::shared_ptr<const FileReader> files_;
  std::shared_ptr<const DisplaySession> session_;
};

}  // namespace

std::shared_ptr<const DisplayService> MakeSysfsDisplayService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const DisplaySession> session) {
  return std::make_shared<SysfsDisplayService>(std::move(files), std::move(session));
}

}  // namespace tavrin::platform
