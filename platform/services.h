// The platform services one gathering reads from, chosen in one place.
//
// A collector never decides where its data comes from: it is handed a Services bundle that
// answers from this machine (platform/linux), from a snapshot (platform/recorded), or from this
// machine while writing a snapshot (platform/recording).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_reader.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

namespace tavrin::platform {

struct Services {
  std::shared_ptr<const FileReader> files;
  std::shared_ptr<const Registry> registry;
  std::shared_ptr<const SystemFacts> system;
  // Later services join here, one interface each: processor (CPUID), firmware tables,
  // devices, processes, network, multimedia, printing, display.

  /// True only when the services read the machine this program runs on.
  bool live = false;
  /// Where the data came from, for headers and logs: "this machine", "snapshot /path".
  std::string origin;
};

/// Is this the machine we run on? Replayed data never drives live-only features
/// (CPU load sampling, refresh timers, opening devices).
inline bool IsLiveMachine(const Services& services) { return services.live; }

}  // namespace tavrin::platform
