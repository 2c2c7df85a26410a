// libFuzzer target: the USB descriptor decoder over arbitrary bytes (a device descriptor and
// configurations as the kernel keeps them), with the helpers that read what it decoded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "collectors/devices/usb_classes.h"
#include "collectors/devices/usb_descriptors.h"

using namespace tavrin::collectors::usb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Descriptors d = DecodeDescriptors(bytes);
  if (d.device) {
    (void)BcdVersionText(d.device->bcdUSB);
    (void)ClassName(d.device->deviceClass);
    (void)NodeKindOfClass(d.device->deviceClass);
  }
  for (const auto& config : d.configurations) {
    (void)MaxPowerMilliamps(config, size & 1);
    for (const InterfaceDescriptor* intf : PrimaryInterfaces(config))
      (void)ClassName(intf->interfaceClass);
  }
  return 0;
}
