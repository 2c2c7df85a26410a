// The Bluetooth devices of a Windows machine, from its device search records.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "collectors/devices/vsi_bluetooth.h"
#include "platform/bluetooth.h"

namespace tavrin::collectors {

/// A SYSTEMTIME as seconds since 1970, its fields taken as they are; nullopt for a time that
/// was never set (year 0) or fields out of range.
std::optional<int64_t> SystemTimeSeconds(const platform::SystemTimeRecord& t);

/// The listed devices of a search: a device without a name is left out, as the system's own
/// lists leave it out; the others keep their order.
std::vector<TBTDevice> WindowsBluetoothDevices(
    const std::vector<platform::WindowsBluetoothDevice>& found);

}  // namespace tavrin::collectors
