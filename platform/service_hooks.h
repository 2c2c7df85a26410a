// Where each optional service plugs into the live, recorded and recording service sets.
//
// Each service owns the implementation of its hooks (in its own files); the shared code that
// builds a service set only calls them, so adding a service touches one line per set.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/services.h"

namespace tavrin::platform {

/// Writes a recorded service's part of a snapshot when the recording ends.
class ServiceRecording {
 public:
  virtual ~ServiceRecording() = default;
  /// Writes into the snapshot directory `dir`; false with `error` set on failure.
  virtual bool Finish(const std::filesystem::path& dir, std::string* error) = 0;
};

// Processor service (platform/linux/linux_processor.cpp, platform/recorded/recorded_processor.cpp,
// platform/recording/recording_processor.cpp).
std::shared_ptr<const ProcessorService> MakeLinuxProcessorService(
    std::shared_ptr<const FileReader> files);
/// The processor part of a snapshot directory; null when it has none. Problems go to `warnings`.
std::shared_ptr<const ProcessorService> LoadRecordedProcessor(const std::filesystem::path& dir,
                                                              std::vector<std::string>& warnings);
/// A single register dump file; null when `file` is not one.
std::shared_ptr<const ProcessorService> LoadProcessorDumpFile(const std::filesystem::path& file);
/// Wraps the live service; `recording` receives what writes the snapshot part at the end.
std::shared_ptr<const ProcessorService> RecordProcessor(
    std::shared_ptr<const ProcessorService> live, std::unique_ptr<ServiceRecording>& recording);

// Firmware service (platform/linux/linux_firmware.cpp, platform/recorded/recorded_firmware.cpp,
// platform/recording/recording_firmware.cpp).
std::shared_ptr<const FirmwareService> MakeLinuxFirmwareService(
    std::shared_ptr<const FileReader> files);
std::shared_ptr<const FirmwareService> LoadRecordedFirmware(const std::filesystem::path& dir,
                                                            std::vector<std::string>& warnings);
std::shared_ptr<const FirmwareService> LoadFirmwareDumpFile(const std::filesystem::path& file);
std::shared_ptr<const FirmwareService> RecordFirmware(
    std::shared_ptr<const FirmwareService> live, std::unique_ptr<ServiceRecording>& recording);

// Machine facts service (platform/linux/linux_machine_facts.cpp). Snapshots replay it over
// their recorded files, and a recording over its recording file reader, so it needs no hooks
// of its own there.
class MachineFactsService;
std::shared_ptr<const MachineFactsService> MakeLinuxMachineFacts(
    std::shared_ptr<const FileReader> files, bool live);

// Operating-system services, the four together: facts, environment, locales, desktop proxy
// (platform/linux/linux_os_facts.cpp, platform/recorded/recorded_os.cpp,
// platform/recording/recording_os.cpp).
void AddLinuxOsServices(Services& services);
/// From the snapshot's os.json; a snapshot without one answers from its files.
void LoadRecordedOs(const std::filesystem::path& dir, Services& services,
                    std::vector<std::string>& warnings);
void RecordOs(const Services& live, Services& recording,
              std::unique_ptr<ServiceRecording>& osRecording);

// Device service (platform/linux/linux_devices.cpp, platform/recorded/recorded_devices.cpp,
// platform/recording/recording_devices.cpp).
std::shared_ptr<const DeviceService> MakeLinuxDeviceService(std::shared_ptr<const FileReader> files);
/// The device part of a snapshot (devices/), else the device tree of its registry; null when it
/// has neither.
std::shared_ptr<const DeviceService> LoadRecordedDevices(const std::filesystem::path& dir,
                                                         std::shared_ptr<const Registry> registry,
                                                         std::vector<std::string>& warnings);
std::shared_ptr<const DeviceService> RecordDevices(std::shared_ptr<const DeviceService> live,
                                                   std::unique_ptr<ServiceRecording>& recording);

// Device controls of a Windows machine (platform/recorded/recorded_device_control.cpp). Only a
// snapshot's controls.json answers them: null when it has none. Nothing records them here.
std::shared_ptr<const DeviceControlService> LoadRecordedDeviceControl(
    const std::filesystem::path& dir);

// The later service areas, each plugged in the same three ways: the live services of this
// machine, the services of a snapshot directory, and the recording wrappers (which push what
// writes their part of the snapshot onto `recordings`). Each area owns its hooks' file.
using ServiceRecordings = std::vector<std::unique_ptr<ServiceRecording>>;
#define TAVRIN_SERVICE_AREA_HOOKS(Area)                                                       \
  void AddLinux##Area(Services& services);                                                  \
  void LoadRecorded##Area(const std::filesystem::path& dir, Services& services,              \
                          std::vector<std::string>& warnings);                               \
  void Record##Area(const Services& live, Services& recording, ServiceRecordings& recordings);
TAVRIN_SERVICE_AREA_HOOKS(LiveMonitor)  // memory, processes
TAVRIN_SERVICE_AREA_HOOKS(Display)      // display
TAVRIN_SERVICE_AREA_HOOKS(Storage)      // storage
TAVRIN_SERVICE_AREA_HOOKS(Network)      // network
TAVRIN_SERVICE_AREA_HOOKS(InputOutput)  // usb, bluetooth, audio, power, printers
TAVRIN_SERVICE_AREA_HOOKS(Software)     // software
TAVRIN_SERVICE_AREA_HOOKS(Ports)        // ports (platform/linux/linux_ports.cpp)
#undef TAVRIN_SERVICE_AREA_HOOKS

}  // namespace tavrin::platform
