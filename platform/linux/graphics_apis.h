// What the graphics interfaces of this machine answer: OpenGL through EGL (no window needed)
// the Vulkan loader and VA-API, all bound at run time.
#pragma once

#include "platform/display.h"

namespace tavrin::platform {

/// The OpenGL version, renderer and vendor of a context made without a window (EGL).
void ProbeOpenGl(GraphicsApis& apis);
/// The Vulkan instance version and every physical device the loader finds.
void ProbeVulkan(GraphicsApis& apis);
/// The video decode and encode profiles of VA-API on the first render node.
void ProbeVideoAcceleration(GraphicsApis& apis);

}  // namespace tavrin::platform
