#include "platform/os_services.h"

#include "platform/linux/linux_os_environment.h"
#include "platform/linux/linux_os_facts.h"

namespace tavrin::platform {

OsServices OsServicesOf(const Services& services) {
  OsServices os{services.os, services.environment, services.locales, services.desktopProxy};
  if (os.facts && os.environment && os.locales && os.desktopProxy) return os;
  Services filled = services;
  SetFileTreeOs(filled);
  if (!os.environment) os.environment = filled.environment;
  if (!os.facts) os.facts = filled.os;
  if (!os.locales) os.locales = filled.locales;
  if (!os.desktopProxy) os.desktopProxy = filled.desktopProxy;
  return os;
}

void SetFileTreeOs(Services& services) {
  if (!services.environment && services.files)
    services.environment = ProcEnvironment(services.files);
  if (!services.environment) services.environment = UnsupportedEnvironment("no files to read");
  if (!services.os) {
    services.os = services.files ? MakeLinuxOsFacts(services.files, services.environment,
                                                    services.system, LinuxCalls::FilesOnly)
                                 : UnsupportedOsFacts("no files to read");
  }
  // Locale names are described by the definitions installed here.
  if (!services.locales) services.locales = SystemLocaleDatabase();
  if (!services.desktopProxy)
    services.desktopProxy = UnsupportedDesktopProxy("not kept in this snapshot");
}

void SetUnsupportedOs(Services& services, const std::string& why) {
  services.os = UnsupportedOsFacts(why);
  services.environment = UnsupportedEnvironment(why);
  services.locales = UnsupportedLocales(why);
  services.desktopProxy = UnsupportedDesktopProxy(why);
}

}  // namespace tavrin::platform
