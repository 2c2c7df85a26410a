#include "collectors/devices/id_database.h"

#include <charconv>

namespace tavrin::collectors {
namespace {

// "<hex id><two blanks><name>": the id of `digits` hex digits and the name; false for
// anything else.
bool IdLine(std::string_view line, std::size_t digits, uint32_t& id, std::string& name) {
  if (line.size() < digits + 2) return false;
  auto [ptr, ec] = std::from_chars(line.data(), line.data() + digits, id, 16);
  if (ec != std::errc() || ptr != line.data() + digits || line[digits] != ' ') return false;
  std::string_view rest = line.substr(digits);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.remove_suffix(1);
  if (rest.empty()) return false;
  name = std::string(rest);
  return true;
}

}  // namespace

IdDatabaseNames IdDatabaseNames::Parse(std::string_view text) {
  IdDatabaseNames db;
  Vendor_* vendor = nullptr;
  Class_* cls = nullptr;
  std::pair<std::string, std::map<uint8_t, std::string>>* subclass = nullptr;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    uint32_t id = 0;
    std::string name;
    if (line.substr(0, 2) == "\t\t") {
      // Subsystems of a device and interfaces are not shown; programming interfaces are.
      if (cls && subclass && IdLine(line.substr(2), 2, id, name))
        subclass->second[static_cast<uint8_t>(id)] = name;
      continue;
    }
    if (line.front() == '\t') {
      if (vendor && IdLine(line.substr(1), 4, id, name)) {
        vendor->devices[static_cast<uint16_t>(id)] = name;
      } else if (cls && IdLine(line.substr(1), 2, id, name)) {
        subclass = &cls->subclasses[static_cast<uint8_t>(id)];
        subclass->first = name;
      }
      continue;
    }
    vendor = nullptr;
    cls = nullptr;
    subclass = nullptr;
    if (line.substr(0, 2) == "C ") {
      if (IdLine(line.substr(2), 2, id, name)) {
        cls = &db.classes_[static_cast<uint8_t>(id)];
        cls->name = name;
      }
    } else if (IdLine(line, 4, id, name)) {
      vendor = &db.vendors_[static_cast<uint16_t>(id)];
      vendor->name = name;
    }
  }
  return db;
}

std::string IdDatabaseNames::Vendor(uint16_t vendor) const {
  auto it = vendors_.find(vendor);
  return it == vendors_.end() ? std::string() : it->second.name;
}

std::string IdDatabaseNames::Device(uint16_t vendor, uint16_t device) const {
  auto it = vendors_.find(vendor);
  if (it == vendors_.end()) return {};
  auto d = it->second.devices.find(device);
  return d == it->second.devices.end() ? std::string() : d->second;
}

std::string IdDatabaseNames::Class(int cls, int subclass, int progIf) const {
  if (cls < 0 || cls > 0xFF) return {};
  auto c = classes_.find(static_cast<uint8_t>(cls));
  if (c == classes_.end()) return {};
  if (subclass < 0 || subclass > 0xFF) return c->second.name;
  auto s = c->second.subclasses.find(static_cast<uint8_t>(subclass));
  if (s == c->second.subclasses.end()) return c->second.name;
  if (progIf >= 0 && progIf <= 0xFF) {
    auto p = s->second.second.find(static_cast<uint8_t>(progIf));
    if (p != s->second.second.end()) return p->second;
  }
  return s->second.first;
}

}  // namespace tavrin::collectors
