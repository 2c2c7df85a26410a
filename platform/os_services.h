// The operating-system services of a bundle, complete: what a hand-built bundle leaves out is
// read from its file service, the way the earlier snapshots kept these facts.
#pragma once

#include <memory>
#include <string>

#include "platform/desktop_proxy.h"
#include "platform/os_environment.h"
#include "platform/os_facts.h"
#include "platform/os_locale.h"
#include "platform/services.h"

namespace tavrin::platform {

struct OsServices {
  std::shared_ptr<const OsFacts> facts;
  std::shared_ptr<const EnvironmentSource> environment;
  std::shared_ptr<const LocaleDatabase> locales;
  std::shared_ptr<const DesktopProxySource> desktopProxy;
};

/// Never null members.
OsServices OsServicesOf(const Services& services);

/// Gives `services` the operating-system services of a captured file tree: files and the
/// environment block under /proc/self/environ, this machine's locale definitions, no desktop
/// settings.
void SetFileTreeOs(Services& services);

/// Gives `services` operating-system services that answer "not supported" with `why`.
void SetUnsupportedOs(Services& services, const std::string& why);

}  // namespace tavrin::platform
