// A small sysfs tree under a temporary folder, built the way the kernel lays it out: devices
// under /sys/devices, bus and class entries as relative links to them.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/test_services.h"

namespace tavrin::testing {

class SysfsTree {
 public:
  const std::filesystem::path& root() const { return dir_.path(); }
  void File(const std::string& path, const std::string& content) const {
    dir_.Write(path.substr(1), content);
  }
  /// A link at `path` pointing to the absolute machine path `target`, written relative.
  void Link(const std::string& path, const std::string& target) const {
    const auto at = root() / path.substr(1);
    std::filesystem::create_directories(at.parent_path());
    const auto relative = (root() / target.substr(1)).lexically_relative(at.parent_path());
    std::filesystem::create_directory_symlink(relative, at);
  }
  /// A device folder with its uevent and subsystem link; listed on the bus or class given.
  void Device(const std::string& path, const std::string& subsystem, const std::string& uevent,
              bool onBus = true) const {
    File(path + "/uevent", uevent);
    const std::string kind = onBus ? "/sys/bus/" : "/sys/class/";
    Link(path + "/subsystem", kind + subsystem);
    std::filesystem::create_directories(root() / (kind.substr(1) + subsystem));
    const std::string list = onBus ? kind + subsystem + "/devices/" : kind + subsystem + "/";
    Link(list + path.substr(path.rfind('/') + 1), path);
  }
  /// Binds `driver` (of module `module`, empty for built in) on `bus` to the device.
  void Driver(const std::string& path, const std::string& bus, const std::string& driver,
              const std::string& module = {}) const {
    const std::string dir = "/sys/bus/" + bus + "/drivers/" + driver;
    std::filesystem::create_directories(root() / dir.substr(1));
    if (!module.empty() && !std::filesystem::exists(root() / (dir.substr(1) + "/module"))) {
      std::filesystem::create_directories(root() / ("sys/module/" + module));
      Link(dir + "/module", "/sys/module/" + module);
    }
    Link(path + "/driver", dir);
  }

 private:
  TempDir dir_;
};

}  // namespace tavrin::testing
