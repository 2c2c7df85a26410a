// The display answers a Windows registry holds (a replayed snapshot of a Windows machine):
// the adapter driver's hardware information values, the video BIOS of the system description
// and the monitors' identification blocks.
#include <algorithm>
#include <sstream>

#include "platform/display.h"
#include "platform/display_session.h"
#include "platform/registry.h"
#include "platform/registry_source.h"
#include "platform/utf16.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kNotRegistry = "the source has no Windows registry";

// The hardware information values are UTF-16 text stored as binary data; at most 255 bytes
// of each are taken.
std::string BinaryText(const RegValue& v) {
  const std::size_t n = std::min<std::size_t>(v.data.size(), 255) & ~std::size_t{1};
  std::string text = Utf16ToUtf8(Utf16FromLeBytes(v.data.data(), n));
  if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

class RegistryDisplayService : public DisplayService {
 public:
  RegistryDisplayService(std::shared_ptr<const Registry> registry,
                         std::shared_ptr<const DisplaySession> session)
      : registry_(std::move(registry)), session_(std::move(session)) {}

  Answer<std::vector<GraphicsCard>> Cards() const override {
    return Answer<std::vector<GraphicsCard>>::Fail(Status::NotSupported, "mode-setting cards",
                                                   "a Windows snapshot has none");
  }
  Answer<SessionScreens> Screens() const override {
    if (session_) return session_->Screens();
    return Answer<SessionScreens>::Fail(Status::NotSupported, "desktop session",
                                        "not recorded in a Windows snapshot");
  }
  GraphicsApis Apis() const override {
    if (session_) return session_->Apis();
    GraphicsApis apis;
    const auto none = Provenance::Failure(Status::NotSupported, "graphics interfaces",
                                          "not recorded in a Windows snapshot");
    apis.openGlVersion.source = apis.openGlRenderer.source = apis.openGlVendor.source = none;
    apis.vulkanVersion.source = apis.vulkanDevices.source = apis.videoProfiles.source = none;
    return apis;
  }
  Answer<int32_t> FramebufferDepth() const override {
    return Answer<int32_t>::Fail(Status::NotSupported, "frame buffer", "a Windows snapshot");
  }
  Answer<std::string> PnpNames(const std::vector<std::string>&) const override {
    return Answer<std::string>::Fail(Status::NotSupported, "pnp.ids", "a Windows snapshot");
  }

  Answer<RegistryDisplayDriver> DriverValues(std::string_view service,
                                             std::string_view videoKey) const override {
    // The service's first device key, unless it lacks the DAC type: then the video key.
    std::string key = "SYSTEM\\CurrentControlSet\\Services\\" + std::string(service) + "\\Device0";
    if (service.empty() || !registry_->KeyExists(RegRoot::LocalMachine, key) ||
        !registry_->ReadValue(RegRoot::LocalMachine, key, "HardwareInformation.DacType"))
      key = "SYSTEM\\CurrentControlSet\\Control\\Video\\" + std::string(videoKey) + "\\0000";
    if (!registry_->KeyExists(RegRoot::LocalMachine, key))
      return Answer<RegistryDisplayDriver>::Fail(Status::Missing,
                                                 RegistryKeyName(RegRoot::LocalMachine, key));
    RegistryDisplayDriver d;
    d.key = RegistryKeyName(RegRoot::LocalMachine, key);
    auto text = [&](std::string_view name) {
      auto v = registry_->ReadValue(RegRoot::LocalMachine, key, name);
      return v ? BinaryText(*v) : std::string();
    };
    d.dacType = text("HardwareInformation.DacType");
    d.chipType = text("HardwareInformation.ChipType");
    d.biosString = text("HardwareInformation.BiosString");
    if (auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "HardwareInformation.MemorySize");
        v && v->data.size() >= 4)
      d.memorySize = v->data[0] | (v->data[1] << 8) | (v->data[2] << 16) |
                     (static_cast<uint32_t>(v->data[3]) << 24);
    return Answer<RegistryDisplayDriver>::Of(std::move(d),
                                             RegistryKeyName(RegRoot::LocalMachine, key));
  }

  Answer<std::pair<std::string, std::string>> VideoBios() const override {
    const std::string key = "HARDWARE\\DESCRIPTION\\System";
    if (!registry_->KeyExists(RegRoot::LocalMachine, key))
      return Answer<std::pair<std::string, std::string>>::Fail(
          Status::Missing, RegistryKeyName(RegRoot::LocalMachine, key));
    std::string version, date;
    if (auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "VideoBiosVersion")) {
      if (auto lines = v->AsMultiString(); lines && !lines->empty())
        version = lines->front();
      else if (auto s = v->AsString())
        version = s->substr(0, s->find_first_of("\r\n"));
    }
    if (auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "VideoBiosDate"))
      date = v->AsString().value_or("");
    return Answer<std::pair<std::string, std::string>>::Of(
        {version, date}, RegistryKeyName(RegRoot::LocalMachine, key));
  }

  Answer<std::map<int, int32_t>> DeviceCaps() const override {
    return session_ ? session_->DeviceCaps() : DisplayService::DeviceCaps();
  }
  Answer<std::vector<std::array<int32_t, 3>>> DisplayModes() const override {
    return session_ ? session_->DisplayModes() : DisplayService::DisplayModes();
  }

  Answer<std::string> DirectXVersion() const override {
    const std::string key = "SOFTWARE\\Microsoft\\DirectX";
    const std::string source = RegistryKeyName(RegRoot::LocalMachine, key);
    if (auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "Version"))
      if (auto s = v->AsString(); s && !s->empty()) return Answer<std::string>::Of(*s, source);
    if (auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "InstalledVersion");
        v && v->data.size() >= 2)
      return Answer<std::string>::Of(std::to_string(v->data[0]) + "." + std::to_string(v->data[1]),
                                     source);
    return Answer<std::string>::Fail(Status::Missing, source, "no DirectX version");
  }

  Answer<std::string> MonitorEdid(std::string_view instanceKey) const override {
    std::string key(instanceKey);
    while (!key.empty() && key.front() == '\\') key.erase(0, 1);
    key += "\\Device Parameters";
    auto v = registry_->ReadValue(RegRoot::LocalMachine, key, "EDID");
    const std::string source = RegistryValueName(RegRoot::LocalMachine, key, "EDID");
    if (!v) return Answer<std::string>::Fail(v.source.status, source, v.source.detail);
    if (v->type != RegType::Binary)
      return Answer<std::string>::Fail(Status::Malformed, source, "not binary data");
    return Answer<std::string>::Of(std::string(v->data.begin(), v->data.end()), source);
  }

 private:
  std::shared_ptr<const Registry> registry_;
  std::shared_ptr<const DisplaySession> session_;
};

}  // namespace

Answer<RegistryDisplayDriver> DisplayService::DriverValues(std::string_view,
                                                           std::string_view) const {
  return Answer<RegistryDisplayDriver>::Fail(Status::NotSupported, "display driver key",
                                             std::string(kNotRegistry));
}

Answer<std::pair<std::string, std::string>> DisplayService::VideoBios() const {
  return Answer<std::pair<std::string, std::string>>::Fail(Status::NotSupported, "video BIOS key",
                                                           std::string(kNotRegistry));
}

Answer<std::string> DisplayService::MonitorEdid(std::string_view instanceKey) const {
  return Answer<std::string>::Fail(Status::NotSupported, std::string(instanceKey),
                                   std::string(kNotRegistry));
}

Answer<std::string> DisplayService::DirectXVersion() const {
  return Answer<std::string>::Fail(Status::NotSupported, "DirectX", "no DirectX on this platform");
}

Answer<std::map<int, int32_t>> DisplayService::DeviceCaps() const {
  return Answer<std::map<int, int32_t>>::Fail(Status::NotSupported, "device capabilities",
                                              "no GDI on this platform");
}

Answer<std::vector<std::array<int32_t, 3>>> DisplayService::DisplayModes() const {
  return Answer<std::vector<std::array<int32_t, 3>>>::Fail(Status::NotSupported, "display modes",
                                                           "no GDI on this platform");
}

Answer<std::map<int, int32_t>> DisplaySession::DeviceCaps() const {
  return Answer<std::map<int, int32_t>>::Fail(Status::NotSupported, "device capabilities",
                                              "no GDI on this platform");
}

Answer<std::vector<std::array<int32_t, 3>>> DisplaySession::DisplayModes() const {
  return Answer<std::vector<std::array<int32_t, 3>>>::Fail(Status::NotSupported, "display modes",
                                                           "no GDI on this platform");
}

std::shared_ptr<const DisplayService> MakeRegistryDisplayService(
    std::shared_ptr<const Registry> registry, std::shared_ptr<const DisplaySession> session) {
  return std::make_shared<RegistryDisplayService>(std::move(registry), std::move(session));
}

std::string FilterPnpIds(std::string_view text, const std::vector<std::string>& ids) {
  std::string out;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 4 || line[3] != '\t') continue;
    if (std::find(ids.begin(), ids.end(), line.substr(0, 3)) != ids.end()) out += line + "\n";
  }
  return out;
}

}  // namespace tavrin::platform
