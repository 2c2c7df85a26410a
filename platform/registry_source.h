// Registry keys and values named as the source of a value ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace tavrin::platform {

/// The full name of a key, as provenance of what was read from it.
inline std::string RegistryKeyName(RegRoot root, std::string_view path) {
  return std::string(RegRootName(root)) + "\\" + std::string(path);
}

/// The full name of a value of a key.
inline std::string RegistryValueName(RegRoot root, std::string_view path, std::string_view value) {
  return RegistryKeyName(root, path) + "\\" + std::string(value);
}

}  // namespace tavrin::platform
