// The Device manager page as text: the device tree indented, each device with its driver and a
// mark when it has a problem; in advanced mode every device's properties follow.
#pragma once

#include <string>

#include "cli/page_text.h"
#include "pages/fill_context.h"

namespace tavrin::cli {

std::string DevicePageText(const pages::TSICategory& category, const pages::FillContext& ctx,
                           const PageTextOptions& options);

}  // namespace tavrin::cli
