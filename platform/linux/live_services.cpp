#include "platform/linux/live_services.h"

#include "platform/linux/linux_registry.h"
#include "platform/linux/linux_system_facts.h"
#include "platform/linux/settings_file.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

Services MakeLiveServices(const std::filesystem::path& fileRoot) {
  Services services;
  services.files = std::make_shared<FileReader>(fileRoot);
  services.registry =
      std::make_shared<LinuxRegistry>(LoadSettingsFile(SettingsFilePath()).tree);
  services.system = std::make_shared<LinuxSystemFacts>();
  services.processor = MakeLinuxProcessorService(services.files);
  services.firmware = MakeLinuxFirmwareService(services.files);
  services.devices = MakeLinuxDeviceService(services.files);
  services.machine = MakeLinuxMachineFacts(services.files, true);
  AddLinuxOsServices(services);
  AddLinuxLiveMonitor(services);
  AddLinuxDisplay(services);
  AddLinuxStorage(services);
  AddLinuxNetwork(services);
  AddLinuxInputOutput(services);
  AddLinuxSoftware(services);
  AddLinuxPorts(services);
  services.live = true;
  services.origin = "this machine";
  return services;
}

}  // namespace tavrin::platform
