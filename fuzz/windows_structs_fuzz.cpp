// libFuzzer target: the decoders of the structures a Windows machine answers its device
// controls with (disk geometry, layouts, extents, storage descriptors, SMART replies, SCSI
// data, USB hub and connection information, string descriptors, battery replies), over
// arbitrary bytes as a damaged or hostile snapshot would hold them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "collectors/devices/windows_usb_structs.h"
#include "collectors/storage/scsi_data.h"
#include "collectors/storage/windows_storage_structs.h"
#include "collectors/system/vsi_apm.h"
#include "collectors/system/windows_battery.h"

using namespace tavrin::collectors;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)DecodeDiskGeometry(bytes);
  (void)DecodeDriveLayout(bytes);
  (void)DecodeVolumeDiskExtents(bytes);
  (void)DecodeScsiAddress(bytes);
  (void)DecodeMediaTypes(bytes);
  (void)DecodeStorageDescriptor(bytes);
  (void)DecodeSmartVersion(bytes);
  (void)DecodeSendCmdOut(bytes);
  (void)DecodeMiniportIdentify(bytes);
  if (auto data_in = DecodeScsiPassThroughData(bytes)) {
    (void)DecodeInquiry(*data_in);
    (void)DecodeCapabilitiesPage(*data_in);
  }
  (void)DecodeInquiry(bytes);
  (void)DecodeCapabilitiesPage(bytes);
  (void)usb::win::DecodeName(text);
  (void)usb::win::DecodeConnectionName(text);
  (void)usb::win::DecodeNodeInformation(text);
  (void)usb::win::DecodeConnectionInformation(text);
  if (auto descriptor = usb::win::DescriptorData(text)) {
    (void)usb::win::DecodeLanguageTable(*descriptor);
    (void)usb::win::DecodeStringDescriptor(*descriptor);
  }
  TBatteryRecord battery;
  (void)DecodeBatteryStatus(text, battery);
  (void)DecodeBatteryInformation(text, battery);
  (void)BatteryText(text);
  return 0;
}
