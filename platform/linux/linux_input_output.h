// The Linux services of the input/output area. The parts that are not file reads (the id file
// excerpt, the sound server, the power daemon, the print scheduler, the Bluetooth service)
// come in as probes, so a recording can keep their answers and a replay can give them back.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/bluetooth.h"
#include "platform/file_reader.h"
#include "platform/power.h"
#include "platform/printers.h"
#include "platform/usb.h"

namespace tavrin::platform {

template <class T>
using Probe = std::function<Answer<T>()>;
using IdEntriesProbe = std::function<Answer<std::string>(const IdKeys&)>;

/// The USB tree from /sys/bus/usb/devices; names from `ids`.
std::shared_ptr<const UsbService> MakeLinuxUsbService(std::shared_ptr<const FileReader> files,
                                                      IdEntriesProbe ids);
/// The excerpt of the system's usb.ids read through `files`.
IdEntriesProbe UsbIdFileProbe(std::shared_ptr<const FileReader> files);

std::shared_ptr<const PowerService> MakeLinuxPowerService(std::shared_ptr<const FileReader> files,
                                                          Probe<PowerEstimates> estimates);
std::shared_ptr<const AudioService> MakeLinuxAudioService(std::shared_ptr<const FileReader> files,
                                                          Probe<std::string> soundServer);
/// Which sound server answers on the user's runtime folder's sockets.
Probe<std::string> SoundServerProbe();

/// The Bluetooth service over D-Bus, falling back to the adapters and stored devices in
/// `files` when the bus or the service is not there.
std::shared_ptr<const BluetoothService> MakeLinuxBluetoothService(
    std::shared_ptr<const FileReader> files, Probe<BluetoothRecord> bluez);
/// BlueZ's objects over the system bus, with every call bounded by `limit`.
Probe<BluetoothRecord> BluezProbe(std::chrono::milliseconds limit);
/// UPower's display device over the system bus.
Probe<PowerEstimates> UpowerProbe(std::chrono::milliseconds limit);

/// The print queues of the CUPS scheduler (libcups bound at run time).
Probe<std::vector<PrinterRecord>> CupsProbe(std::chrono::milliseconds limit);
std::shared_ptr<const PrinterService> MakePrinterService(Probe<std::vector<PrinterRecord>> probe);

}  // namespace tavrin::platform
