#include "collectors/os/os_source.h"
#include "platform/linux/linux_desktop_proxy.h"
#include "platform/linux/linux_os_environment.h"

namespace tavrin::collectors {

std::shared_ptr<const OsSource> ChooseOsSource(std::shared_ptr<const platform::Services> services) {
  auto record = services->system->OsVersionRecord();
  const bool windows = record && record->platform != platform::OsPlatform::Linux;
  if (windows) return MakeWindowsOsSource(std::move(services));
  // The environment is the gathering process's own, read through the file service so that a
  // recording keeps it. The locale names it holds are described by this machine's C library:
  // a replayed Linux machine's locale is read with the definitions installed here.
  auto environment = platform::ProcEnvironment(services->files);
  // The desktop's proxy settings live in a database only this machine's session can read: a
  // recording does not keep them, and replayed services get no reader for them.
  auto desktopProxy = platform::IsLiveMachine(*services) ? platform::LinuxDesktopProxy() : nullptr;
  return MakeLinuxOsSource(std::move(services), std::move(environment),
                           platform::SystemLocaleDatabase(), std::move(desktopProxy));
}

}  // namespace tavrin::collectors
