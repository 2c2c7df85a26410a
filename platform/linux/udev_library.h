// libudev, bound at run time where the machine has it: the udev properties of a device (the
// names udev's hardware database gave it) through udev's own interface rather than its
// private database files. Never linked, so the program runs where libudev is missing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// One context: used by one thread at a time (a walk), as libudev asks.
class UdevLibrary {
 public:
  /// Binds `library` and makes a udev context; null, with the reason in `outcome`, when the
  /// library does not load, lacks a function or makes no context.
  static std::unique_ptr<UdevLibrary> Open(const char* library, Provenance& outcome);
  ~UdevLibrary();
  UdevLibrary(const UdevLibrary&) = delete;
  UdevLibrary& operator=(const UdevLibrary&) = delete;

  /// The values of `keys` among the properties of the device at `syspath` ("/sys/devices/..."),
  /// in the order of `keys`; empty for a key the device lacks, all empty for a device udev
  /// does not know.
  std::vector<std::string> Properties(const std::string& syspath,
                                      const std::vector<const char*>& keys) const;

 private:
  struct Functions;
  explicit UdevLibrary(std::unique_ptr<Functions> functions);
  std::unique_ptr<Functions> functions_;
};

}  // namespace tavrin::platform
