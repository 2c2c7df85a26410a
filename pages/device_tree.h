// The Device manager page: the device tree (computer, class groups, devices) and the
// properties of the selected device. The tree is plain data here; the window draws it and the
// command line prints it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/devices/vsi_devices.h"
#include "pages/fill_context.h"
#include "pages/page_model.h"

namespace tavrin::pages {

/// Image index of each device class code (0..38) in the device image list; the root uses 0.
inline constexpr std::array<int, 39> kDeviceClassImages = {
    9,  1,  4,  2,  7,  4,  5,  27, 26, 4,  18, 10, 29, 11, 25, 18, 12, 13, 3, 28,
    14, 15, 18, 16, 18, 15, 14, 35, 17, 28, 19, 6,  1,  8,  39, 8,  20, 41, 42};

struct DeviceTreeNode {
  std::string caption;
  int image = 0;
  int deviceIndex = -1;  ///< position in the device list; -1 for the root and the groups
  bool problem = false;  ///< the device needs attention (shown with a warning mark)
  std::string driver;    ///< the device's driver, for the command line's tree
  std::vector<DeviceTreeNode> children;
};

/// The tree of the device list: the root captioned `computerName`, one group per run of equal
/// class codes (captioned from the first device of the run), devices sorted within their group,
/// groups sorted by caption.
DeviceTreeNode BuildDeviceTree(const collectors::TVexa_Devices& devices,
                               std::string_view computerName);

/// The device description the page shows: empty when it equals the name.
std::string DeviceDescriptionText(const collectors::TDevice& device, bool windows7);

/// The rows of device `index` in the details list, replacing the rows it had. An index
/// outside the list leaves the list unchanged.
void FillDeviceDetails(const FillContext& ctx, const collectors::TVexa_Devices& devices, int index,
                       Page& page);
/// What the details list shows for the root or a group node: one row with its caption.
void FillNodeText(Page& page, std::string_view caption);

/// The computer name the root is captioned with.
std::string DeviceTreeComputerName(const FillContext& ctx);

}  // namespace tavrin::pages
