#include "collectors/os/os_source.h"

namespace tavrin::collectors {

std::shared_ptr<const OsSource> ChooseOsSource(std::shared_ptr<const platform::Services> services) {
  auto record = services->system->OsVersionRecord();
  const bool windows = record && record->platform != platform::OsPlatform::Linux;
  if (windows) return MakeWindowsOsSource(std::move(services));
  return MakeLinuxOsSource(std::move(services));
}

}  // namespace tavrin::collectors
