// The registry as Linux has it: HKEY_CURRENT_USER is the user's settings file; other roots
// have no Linux counterpart yet and answer "not supported". Services that know where Linux
// keeps a fact answer from that source through their own interface instead.
#pragma once

#include <memory>

#include "platform/registry.h"

namespace tavrin::platform {

class LinuxRegistry : public Registry {
 public:
  /// `currentUser` holds the settings file's keys; never null.
  explicit LinuxRegistry(std::shared_ptr<const RegistryTree> currentUser);

  bool KeyExists(RegRoot root, std::string_view path) const override;
  Answer<RegValue> ReadValue(RegRoot root, std::string_view path,
                             std::string_view name) const override;
  std::vector<std::string> SubKeys(RegRoot root, std::string_view path) const override;
  std::vector<std::string> ValueNames(RegRoot root, std::string_view path) const override;

 private:
  std::shared_ptr<const RegistryTree> current_user_;
};

}  // namespace tavrin::platform
