// The screens of an X11 session, asked through libX11 and libXrandr bound at run time.
#pragma once

#include "platform/display.h"

namespace tavrin::platform {

/// The X server named `display` (DISPLAY): one screen per active RandR output, or the whole
/// screen when the server has no RandR 1.2 outputs. Fails with the reason when the library or
/// the server is missing.
Answer<SessionScreens> ProbeX11Screens(const std::string& display);

}  // namespace tavrin::platform
