#include "platform/registry.h"

#include <array>
#include <utility>

#include "platform/registry_path.h"
#include "platform/utf16.h"

namespace tavrin::platform {
namespace {

struct RootNames {
  RegRoot root;
  std::string_view long_name;
  std::string_view short_name;
};

constexpr std::array<RootNames, 5> kRoots{{
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegRoot::Users, "HKEY_USERS", "HKU"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
}};

std::u16string Units(const RegValue& value) {
  return Utf16FromLeBytes(value.data.data(), value.data.size());
}

}  // namespace

std::vector<std::string_view> KeyPathComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string NormalizeKeyPath(std::string_view path) {
  std::string out;
  for (std::string_view part : KeyPathComponents(path)) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

std::optional<RegRoot> RegRootFromName(std::string_view name) {
  for (const RootNames& r : kRoots) {
    if (EqualsNoCase(name, r.long_name) || EqualsNoCase(name, r.short_name)) return r.root;
  }
  return std::nullopt;
}

std::string_view RegRootName(RegRoot root) {
  for (const RootNames& r : kRoots) {
    if (r.root == root) return r.long_name;
  }
  return "HKEY_LOCAL_MACHINE";
}

std::optional<std::pair<RegRoot, std::string>> SplitKeyName(std::string_view full) {
  std::vector<std::string_view> parts = KeyPathComponents(full);
  if (parts.empty()) return std::nullopt;
  std::optional<RegRoot> root = RegRootFromName(parts.front());
  if (!root) return std::nullopt;
  std::string path;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (!path.empty()) path += '\\';
    path += parts[i];
  }
  return std::make_pair(*root, std::move(path));
}

std::string JoinKeyName(RegRoot root, std::string_view path) {
  std::string full(RegRootName(root));
  std::string rest = NormalizeKeyPath(path);
  if (!rest.empty()) full += '\\' + rest;
  return full;
}

RegValue RegValue::String(std::string_view utf8, RegType type) {
  RegValue v;
  v.type = type;
  std::u16string units = Utf8ToUtf16(utf8);
  units += u'\0';
  AppendUtf16LeBytes(units, v.data);
  return v;
}

RegValue RegValue::Dword(uint32_t v) {
  RegValue r;
  r.type = RegType::Dword;
  for (int i = 0; i < 4; ++i) r.data.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return r;
}

RegValue RegValue::Qword(uint64_t v) {
  RegValue r;
  r.type = RegType::Qword;
  for (int i = 0; i < 8; ++i) r.data.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return r;
}

RegValue RegValue::MultiString(const std::vector<std::string>& items) {
  std::u16string units;
  for (const std::string& item : items) {
    units += Utf8ToUtf16(item);
    units += u'\0';
  }
  units += u'\0';
  RegValue v;
  v.type = RegType::MultiSz;
  AppendUtf16LeBytes(units, v.data);
  return v;
}

RegValue RegValue::Bytes(std::vector<uint8_t> bytes, RegType type) {
  RegValue v;
  v.type = type;
  v.data = std::move(bytes);
  return v;
}

std::optional<std::string> RegValue::AsString() const {
  if (type != RegType::Sz && type != RegType::ExpandSz && type != RegType::Link) {
    return std::nullopt;
  }
  std::u16string units = Units(*this);
  if (std::size_t nul = units.find(u'\0'); nul != std::u16string::npos) units.resize(nul);
  return Utf16ToUtf8(units);
}

std::optional<uint32_t> RegValue::AsDword() const {
  if (data.size() != 4) return std::nullopt;
  if (type == RegType::Dword) {
    return uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
           uint32_t{data[3]} << 24;
  }
  if (type == RegType::DwordBigEndian) {
    return uint32_t{data[3]} | uint32_t{data[2]} << 8 | uint32_t{data[1]} << 16 |
           uint32_t{data[0]} << 24;
  }
  return std::nullopt;
}

std::optional<uint64_t> RegValue::AsQword() const {
  if (type == RegType::Qword && data.size() == 8) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | data[i];
    return v;
  }
  if (std::optional<uint32_t> d = AsDword()) return *d;
  return std::nullopt;
}

std::optional<std::vector<std::string>> RegValue::AsMultiString() const {
  if (type != RegType::MultiSz) return std::nullopt;
  std::u16string units = Units(*this);
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start < units.size()) {
    std::size_t end = units.find(u'\0', start);
    if (end == std::u16string::npos) end = units.size();
    // An empty string ends the list, as it does for Windows.
    if (end == start) break;
    items.push_back(Utf16ToUtf8(std::u16string_view(units).substr(start, end - start)));
    start = end + 1;
  }
  return items;
}

std::string ExpandEnvironmentText(std::string_view text, const EnvLookup& lookup) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find('%', i);
    if (open == std::string_view::npos) break;
    std::size_t close = text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text.substr(i, open - i));
    std::string_view name = text.substr(open + 1, close - open - 1);
    std::optional<std::string> found;
    if (!name.empty() && lookup) found = lookup(name);
    if (found) {
      out += *found;
    } else {
      out.append(text.substr(open, close - open + 1));
    }
    i = close + 1;
  }
  out.append(text.substr(i));
  return out;
}

std::string RegistryText(const RegValue& value, const EnvLookup& lookup) {
  switch (value.type) {
    case RegType::Sz:
      return *value.AsString();
    case RegType::ExpandSz:
      return ExpandEnvironmentText(*value.AsString(), lookup);
    case RegType::MultiSz: {
      std::vector<std::string> items = *value.AsMultiString();
      return items.empty() ? std::string() : items.front();
    }
    case RegType::Dword:
    case RegType::DwordBigEndian:
      if (std::optional<uint32_t> d = value.AsDword()) return std::to_string(*d);
      break;  // wrong length: shown as its bytes
    default:
      break;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : value.data) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

}  // namespace tavrin::platform
