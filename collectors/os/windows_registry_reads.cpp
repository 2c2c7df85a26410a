#include "collectors/os/windows_registry_reads.h"

namespace tavrin::collectors::winreg {

using platform::RegType;

std::optional<std::string> String(const platform::Registry& reg, platform::RegRoot root,
                                  std::string_view path, std::string_view name) {
  auto value = reg.ReadValue(root, path, name);
  if (!value || (value->type != RegType::Sz && value->type != RegType::ExpandSz))
    return std::nullopt;
  return value->AsString();
}

std::optional<uint32_t> Dword(const platform::Registry& reg, platform::RegRoot root,
                              std::string_view path, std::string_view name) {
  auto value = reg.ReadValue(root, path, name);
  if (!value) return std::nullopt;
  if (auto v = value->AsDword()) return v;
  if (value->data.size() >= 4 && value->type != RegType::Sz && value->type != RegType::ExpandSz) {
    const auto& d = value->data;
    return static_cast<uint32_t>(d[0] | (d[1] << 8) | (d[2] << 16) |
                                 (static_cast<uint32_t>(d[3]) << 24));
  }
  return std::nullopt;
}

bool IsOne(const platform::Registry& reg, platform::RegRoot root, std::string_view path,
           std::string_view name) {
  auto value = reg.ReadValue(root, path, name);
  if (!value) return false;
  if (auto n = value->AsDword()) return *n == 1;
  if (auto s = value->AsString()) return *s == "1";
  return false;
}

}  // namespace tavrin::collectors::winreg
