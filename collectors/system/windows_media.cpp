#include "collectors/system/windows_media.h"

#include "base/strings.h"
#include "collectors/devices/device_classes.h"
#include "collectors/devices/vsi_devices.h"
#include "collectors/system/vsi_media.h"

namespace tavrin::collectors {
namespace {

constexpr uint8_t kMediaClass = 30;  // "MEDIA" in the device class table

}  // namespace

MediaDeviceList MediaDevicesOf(const std::vector<TDevice>& devices) {
  static_assert(kDeviceClassNames[kMediaClass] == "MEDIA");
  MediaDeviceList out;
  for (const auto& d : devices) {
    if (d.DeviceClass != kMediaClass) continue;
    out.Devices.push_back(d.Name);
    const auto position = static_cast<int32_t>(out.Devices.size() - 1);
    if (d.SymbolicLink.empty()) continue;
    if (base::Lower(d.Name).find("game") != std::string::npos) out.GamePortIndex = position;
    if (out.SoundCardIndex < 0) out.SoundCardIndex = position;
  }
  return out;
}

std::string MultimediaDeviceText(const platform::MultimediaCapsRecord& caps) {
  return caps.name + " v" + std::to_string(caps.driverVersion >> 8 & 0xFF) + "." +
         std::to_string(caps.driverVersion & 0xFF);
}

void TVexa_Media::RefreshWindows(const platform::AudioService& service) {
  FromWindows = true;
  {
    TVexa_Devices devices(SharedPlatform());
    devices.RefreshData();
    auto media = MediaDevicesOf(devices.List());
    Devices = std::move(media.Devices);
    SoundCardIndex = media.SoundCardIndex;
    GamePortIndex = media.GamePortIndex;
    DevicesSource = devices.Source;
  }
  using platform::MultimediaFamily;
  const std::pair<MultimediaFamily, std::vector<std::string>*> families[] = {
      {MultimediaFamily::WaveOut, &WaveOut}, {MultimediaFamily::WaveIn, &WaveIn},
      {MultimediaFamily::MidiOut, &MIDIOut}, {MultimediaFamily::MidiIn, &MIDIIn},
      {MultimediaFamily::Aux, &AUX},         {MultimediaFamily::Mixer, &Mixer}};
  for (const auto& [family, list] : families) {
    auto found = service.MultimediaDevices(family);
    if (family == MultimediaFamily::WaveOut) Source = found.source;
    // A device whose capability query failed is left out.
    for (const auto& caps : found.value_or({}))
      if (caps) AddOnce(*list, MultimediaDeviceText(*caps));
  }
}

}  // namespace tavrin::collectors
