// The structures Windows' USB host controller and hub drivers answer their I/O controls with
// (usbioctl.h and usbiodef.h of the Windows Driver Kit, packed to single bytes,
// little-endian): the buffers a request sends and the decoding of what comes back. Pure
// functions over bytes; the device descriptor and configuration inside the replies are decoded
// by the standard descriptor decoders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/devices/usb_descriptors.h"

namespace tavrin::collectors::usb::win {

// Control codes: CTL_CODE(FILE_DEVICE_USB, function, METHOD_BUFFERED, FILE_ANY_ACCESS).
inline constexpr uint32_t kGetHcdDriverKeyName = 0x220424;
/// On a controller it answers the root hub's name, on a hub its node information.
inline constexpr uint32_t kGetRootHubName = 0x220408;
inline constexpr uint32_t kGetNodeInformation = 0x220408;
inline constexpr uint32_t kGetNodeConnectionInformation = 0x22040C;
inline constexpr uint32_t kGetDescriptorFromNodeConnection = 0x220410;
inline constexpr uint32_t kGetNodeConnectionName = 0x220414;
inline constexpr uint32_t kGetNodeConnectionDriverKeyName = 0x220420;

// Buffer sizes the requests are sent with: room for a name of 127 characters, a node
// information, a connection with 35 open pipes, and a descriptor of 2048 bytes.
inline constexpr std::size_t kNameSize = 260;
inline constexpr std::size_t kNodeInformationSize = 76;
inline constexpr std::size_t kConnectionInformationSize = 420;
inline constexpr std::size_t kDescriptorRequestSize = 2060;
inline constexpr std::size_t kConnectionNameSize = 264;
/// A node information reply this long or longer is not one: it is refused.
inline constexpr std::size_t kNodeInformationLimit = 257;

/// USB_CONNECTION_STATUS.
enum ConnectionStatus : uint32_t {
  kNoDeviceConnected = 0,
  kDeviceConnected = 1,
  kDeviceFailedEnumeration = 2,
  kDeviceGeneralFailure = 3,
  kDeviceCausedOvercurrent = 4,
  kDeviceNotEnoughPower = 5,
  kDeviceNotEnoughBandwidth = 6,
  kDeviceHubNestedTooDeeply = 7,
  kDeviceInLegacyHub = 8,
  kDeviceEnumerating = 9,
  kDeviceReset = 10,
};

// Request buffers. Windows sends one buffer as both input and output, so the input is the
// whole buffer: zeros with the port (ConnectionIndex) and the setup packet filled in.
std::string NameRequest();                                ///< USB_HCD_DRIVERKEY_NAME, 260 bytes
std::string NodeInformationRequest();                     ///< USB_NODE_INFORMATION, 76 bytes
std::string ConnectionInformationRequest(uint32_t port);  ///< 420 bytes
std::string ConnectionNameRequest(uint32_t port);         ///< USB_NODE_CONNECTION_NAME, 264 bytes
/// USB_DESCRIPTOR_REQUEST: GET_DESCRIPTOR (bmRequest 0x80, bRequest 6) of `wValue` (type in
/// the high byte, index in the low one) in language `wIndex`, for up to 2048 data bytes.
std::string DescriptorRequest(uint32_t port, uint16_t wValue, uint16_t wIndex);

/// The text of USB_HCD_DRIVERKEY_NAME and USB_ROOT_HUB_NAME (ActualLength, then UTF-16 text)
/// as UTF-8, up to its terminating NUL, ActualLength or the end of the reply. Nullopt for a
/// reply shorter than its length field.
std::optional<std::string> DecodeName(std::string_view reply);
/// The same for USB_NODE_CONNECTION_NAME and USB_NODE_CONNECTION_DRIVERKEY_NAME, which put
/// the ConnectionIndex before the length.
std::optional<std::string> DecodeConnectionName(std::string_view reply);

/// USB_NODE_INFORMATION of a hub: USB_HUB_NODE, then USB_HUB_INFORMATION (the hub descriptor
/// with 64 bytes of removable/power masks, and whether the hub is bus powered).
struct NodeInformation {
  uint32_t nodeType = 0;  ///< 0 hub, 1 composite device parent
  uint8_t numberOfPorts = 0;
  uint16_t hubCharacteristics = 0;
  bool busPowered = false;
};
/// Nullopt for a reply too short to hold the port count, or of kNodeInformationLimit bytes
/// or more.
std::optional<NodeInformation> DecodeNodeInformation(std::string_view reply);

/// USB_NODE_CONNECTION_INFORMATION without its pipe list.
struct ConnectionInformation {
  uint32_t connectionIndex = 0;
  std::string deviceDescriptorBytes;  ///< the 18 bytes as stored, for the descriptor decoder
  DeviceDescriptor device;
  uint8_t currentConfigurationValue = 0;
  bool lowSpeed = false;
  bool deviceIsHub = false;
  uint16_t deviceAddress = 0;
  uint32_t numberOfOpenPipes = 0;
  uint32_t connectionStatus = kNoDeviceConnected;
};
/// Nullopt for a reply shorter than the fixed part (35 bytes).
std::optional<ConnectionInformation> DecodeConnectionInformation(std::string_view reply);

/// The descriptor bytes after a USB_DESCRIPTOR_REQUEST reply's 12-byte header. Nullopt for a
/// reply without data.
std::optional<std::string> DescriptorData(std::string_view reply);

/// String descriptor 0: the language ids the device has strings in, within its bLength.
std::vector<uint16_t> DecodeLanguageTable(std::string_view descriptor);
/// A string descriptor's UTF-16 text (within its bLength) as UTF-8; nullopt when the bytes
/// are not a string descriptor.
std::optional<std::string> DecodeStringDescriptor(std::string_view descriptor);

}  // namespace tavrin::collectors::usb::win
