// The multimedia devices of a Windows machine: the sound, video and game devices of its
// device list, and the devices of the multimedia API's six families with their driver
// versions.
#pragma once

#include <string>
#include <vector>

#include "collectors/devices/device_record.h"
#include "platform/audio.h"

namespace tavrin::collectors {

/// The media-class devices of a device list, and which of them are the sound card and the
/// game port (-1 when none).
struct MediaDeviceList {
  std::vector<std::string> Devices;
  int32_t SoundCardIndex = -1, GamePortIndex = -1;
};

/// Every device of the "MEDIA" setup class in list order. A device with an interface link is
/// a working one: the first such is the sound card, and one whose name tells "game" (in any
/// case) the game port.
MediaDeviceList MediaDevicesOf(const std::vector<TDevice>& devices);

/// "name v5.1" for a driver version word 0x0501: major in the high byte, minor in the low.
std::string MultimediaDeviceText(const platform::MultimediaCapsRecord& caps);

}  // namespace tavrin::collectors
