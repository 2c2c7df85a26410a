// The platform services one gathering reads from, chosen in one place.
//
// A collector never decides where its data comes from: it is handed a Services bundle that
// answers from this machine (platform/linux), from a snapshot (platform/recorded), or from this
// machine while writing a snapshot (platform/recording).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_reader.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

namespace tavrin::platform {

class ProcessorService;  // platform/processor.h: CPUID, affinity, time-stamp counter
class FirmwareService;   // platform/firmware.h: SMBIOS tables and physical memory
class DeviceService;     // platform/devices.h: the device database (instances, classes, drivers)
class MachineFactsService;  // platform/machine_facts.h: DMI id, up-time, boot time, LEDs
class OsFacts;             // platform/os_facts.h: OS identity, time zone, folders, desktop files
class EnvironmentSource;   // platform/os_environment.h: the process environment
class LocaleDatabase;      // platform/os_locale.h: locale descriptions
class DesktopProxySource;  // platform/desktop_proxy.h: the desktop's proxy settings
class MemoryStatusService;  // platform/memory_status.h: physical, swap and commit status
class ProcessService;       // platform/processes.h: processes, modules, services, windows, load
class DisplayService;       // platform/display.h: adapters, screens, monitors, graphics APIs
class StorageService;       // platform/storage.h: mounted file systems and storage devices
class NetworkService;       // platform/network.h: interfaces, addresses, routes, sockets
class UsbService;           // platform/usb.h: the USB tree and descriptors
class BluetoothService;     // platform/bluetooth.h: adapters and known devices
class AudioService;         // platform/audio.h: sound cards and their devices
class PowerService;         // platform/power.h: AC, batteries, processor power states
class PrinterService;       // platform/printers.h: print queues
class SoftwareService;      // platform/software.h: packages, start-up entries, runtimes
class PortService;          // platform/ports.h: parallel ports
class DeviceControlService;  // platform/device_control.h: a Windows machine's device controls

struct Services {
  std::shared_ptr<const FileReader> files;
  std::shared_ptr<const Registry> registry;
  std::shared_ptr<const SystemFacts> system;
  /// Null when the source has none (a snapshot without processor registers).
  std::shared_ptr<const ProcessorService> processor;
  /// Null when the source has none (a snapshot without firmware tables).
  std::shared_ptr<const FirmwareService> firmware;
  /// Null when the source has none (a snapshot without a device database).
  std::shared_ptr<const DeviceService> devices;
  /// Null in a bundle built without one: MachineFactsOf() then reads through `files`.
  std::shared_ptr<const MachineFactsService> machine;
  /// The operating system's facts, environment, locales and desktop proxy settings. Null in
  /// hand-built bundles: platform/os_services.h then reads what the file service holds.
  std::shared_ptr<const OsFacts> os;
  std::shared_ptr<const EnvironmentSource> environment;
  std::shared_ptr<const LocaleDatabase> locales;
  std::shared_ptr<const DesktopProxySource> desktopProxy;
  // The services below are null when the source has none; their collectors then leave their
  // rows empty with the reason.
  std::shared_ptr<const MemoryStatusService> memory;
  std::shared_ptr<const ProcessService> processes;
  std::shared_ptr<const DisplayService> display;
  std::shared_ptr<const StorageService> storage;
  std::shared_ptr<const NetworkService> network;
  std::shared_ptr<const UsbService> usb;
  std::shared_ptr<const BluetoothService> bluetooth;
  std::shared_ptr<const AudioService> audio;
  std::shared_ptr<const PowerService> power;
  std::shared_ptr<const PrinterService> printers;
  std::shared_ptr<const SoftwareService> software;
  std::shared_ptr<const PortService> ports;
  /// Only a replayed Windows snapshot has device controls; its disks, USB tree and batteries
  /// are described by them instead of by the storage, USB and power services.
  std::shared_ptr<const DeviceControlService> deviceControl;

  /// True only when the services read the machine this program runs on.
  bool live = false;
  /// Where the data came from, for headers and logs: "this machine", "snapshot /path".
  std::string origin;
};

/// Is this the machine we run on? Replayed data never drives live-only features
/// (CPU load sampling, refresh timers, opening devices).
inline bool IsLiveMachine(const Services& services) { return services.live; }

}  // namespace tavrin::platform
