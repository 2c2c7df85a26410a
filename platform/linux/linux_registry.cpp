#include "platform/linux/linux_registry.h"

namespace tavrin::platform {

LinuxRegistry::LinuxRegistry(std::shared_ptr<const RegistryTree> currentUser)
    : current_user_(std::move(currentUser)) {}

bool LinuxRegistry::KeyExists(RegRoot root, std::string_view path) const {
  return root == RegRoot::CurrentUser && current_user_->KeyExists(root, path);
}

Answer<RegValue> LinuxRegistry::ReadValue(RegRoot root, std::string_view path,
                                          std::string_view name) const {
  if (root == RegRoot::CurrentUser) return current_user_->ReadValue(root, path, name);
  return Answer<RegValue>::Fail(Status::NotSupported, JoinKeyName(root, path),
                                "Linux has no registry");
}

std::vector<std::string> LinuxRegistry::SubKeys(RegRoot root, std::string_view path) const {
  if (root == RegRoot::CurrentUser) return current_user_->SubKeys(root, path);
  return {};
}

std::vector<std::string> LinuxRegistry::ValueNames(RegRoot root, std::string_view path) const {
  if (root == RegRoot::CurrentUser) return current_user_->ValueNames(root, path);
  return {};
}

}  // namespace tavrin::platform
