// The screen device's capability values and display modes as the display pages show them:
// pure functions over raw values.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "collectors/display/display_types.h"

namespace tavrin::collectors::display {

/// The sets of raw device capability values (GetDeviceCaps index -> value): curve 28, line 30,
/// polygon 32, raster 38, text 34, shading and blending 120, colour management 121. A missing
/// or zero value leaves its set empty.
CapSets DecodeCapabilities(const std::map<int, int32_t>& caps);

/// The technology name of device capability 2; empty for a value outside the table.
std::string_view TechnologyName(int32_t value);

/// One line per element of the set's kind, in element order: "Circles=1", "Pie Wedges=0".
void CapabilityTexts(CapKind kind, CapSet set, std::vector<std::string>& lines);

/// "%d x %d - %d bit"; without the depth ("1920 x 1080") when it is not known (0).
std::string ModeText(int32_t width, int32_t height, int32_t bits);

/// Adds `mode` unless the list holds it already (compared without case); keeps the order.
void AddMode(std::vector<std::string>& modes, const std::string& mode);

/// Width and height of a kernel mode name ("1920x1080", "1920x1080i"); false for another text.
bool ParseModeName(std::string_view name, int32_t& width, int32_t& height);

}  // namespace tavrin::collectors::display
