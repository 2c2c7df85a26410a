// Names of the system's id files (pci.ids, usb.ids): vendors, their devices and subsystems,
// and the class list. The files are read at run time from the machine; the parser takes text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace tavrin::collectors {

class IdDatabaseNames {
 public:
  /// Parses the text of an id file or an excerpt of one. Lines that fit no rule of the format
  /// (a bad hex id, a missing name, a device line before any vendor) are skipped.
  static IdDatabaseNames Parse(std::string_view text);

  /// Empty when the file does not name it.
  std::string Vendor(uint16_t vendor) const;
  std::string Device(uint16_t vendor, uint16_t device) const;
  /// The class name of a (class, subclass, programming interface): the most specific one the
  /// file has ("Ethernet controller" for 02 00 00).
  std::string Class(int cls, int subclass = -1, int progIf = -1) const;
  bool empty() const { return vendors_.empty() && classes_.empty(); }

 private:
  struct Vendor_ {
    std::string name;
    std::map<uint16_t, std::string> devices;
  };
  struct Class_ {
    std::string name;
    std::map<uint8_t, std::pair<std::string, std::map<uint8_t, std::string>>> subclasses;
  };
  std::map<uint16_t, Vendor_> vendors_;
  std::map<uint8_t, Class_> classes_;
};

}  // namespace tavrin::collectors
