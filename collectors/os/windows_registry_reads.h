// Typed reads of the registry values the Windows source looks at, with the key paths the
// operating system keeps them under.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace tavrin::collectors::winreg {

inline constexpr std::string_view kNtCurrentVersion =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr std::string_view kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr std::string_view kProductOptions =
    "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

/// Values of string type only (REG_SZ, REG_EXPAND_SZ unexpanded).
std::optional<std::string> String(const platform::Registry& reg, platform::RegRoot root,
                                  std::string_view path, std::string_view name);
/// A 32-bit value, or the first four bytes of binary data.
std::optional<uint32_t> Dword(const platform::Registry& reg, platform::RegRoot root,
                              std::string_view path, std::string_view name);
/// An "Installed" flag: a string holding 1 or an integer 1.
bool IsOne(const platform::Registry& reg, platform::RegRoot root, std::string_view path,
           std::string_view name);

}  // namespace tavrin::collectors::winreg
