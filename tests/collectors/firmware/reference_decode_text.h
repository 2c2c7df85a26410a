// The reference decoder's text for the SMBIOS golden test: its paragraphs parsed, and its ways
// of writing names, sizes, UUIDs and strings turned into what our decoder gives.
#pragma once

#include <cctype>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "collectors/firmware/smbios_decode.h"
#include "collectors/firmware/smbios_names.h"
#include "collectors/firmware/smbios_text.h"
#include "platform/smbios_entry_point.h"

namespace tavrin::collectors::smbios::reference {

using platform::SmbiosEntryPoint;

struct Paragraph {
  int type = -1;
  std::map<std::string, std::string> fields;
};

inline std::string Trimmed(std::string_view s) {
  return std::string(base::Trim(s, " \t"));
}

inline std::vector<Paragraph> ParseDmidecode(const std::string& text) {
  std::vector<Paragraph> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Handle 0x", 0) == 0) {
      Paragraph p;
      const auto at = line.find("DMI type ");
      if (at != std::string::npos) p.type = std::atoi(line.c_str() + at + 9);
      out.push_back(std::move(p));
    } else if (!out.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
      const auto colon = line.find(':');
      if (colon == std::string::npos) continue;
      out.back().fields[line.substr(1, colon - 1)] = Trimmed(line.substr(colon + 1));
    }
  }
  return out;
}

inline std::vector<const Paragraph*> OfType(const std::vector<Paragraph>& all, int type) {
  std::vector<const Paragraph*> out;
  for (const auto& p : all)
    if (p.type == type) out.push_back(&p);
  return out;
}

// Names compared without case, blanks and punctuation ("LapTop" = "Laptop").
inline std::string Folded(std::string_view s) {
  std::string out;
  for (unsigned char c : s)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

// Where our name tables keep the original program's wording, and where dmidecode 3.4 misnames
// a code (24h is "Socket LGA1155" in the DMTF table).
inline bool SameName(std::string_view ours, std::string_view theirs) {
  static const std::map<std::string, std::string> kAliases = {{"rowchip", "rowofchips"},
                                                              {"propcard", "proprietarycard"},
                                                              {"multisystemchassis", "multisystem"},
                                                              {"370pinsocket", "socket370"},
                                                              {"socketlga1155", "socketbga1155"}};
  const auto a = Folded(ours), b = Folded(theirs);
  if (a == b) return true;
  const auto it = kAliases.find(a);
  return it != kAliases.end() && it->second == b;
}

// dmidecode's words for a string number of 0 and for one past the last string are an empty
// text for us; firmware that stores the words itself is read the same way.
inline std::string Unspecified(const std::string& text) {
  return text == "Not Specified" || text == "<BAD INDEX>" ? std::string() : text;
}

// A dmidecode string value as our decoder gives it.
inline std::string Text(const Paragraph& p, const std::string& key) {
  auto it = p.fields.find(key);
  if (it == p.fields.end()) return {};
  return Unspecified(it->second);
}

// dmidecode shows bytes outside printable ASCII as '.'; compare ours the same way.
inline std::string AsDmidecode(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC0) {
      out += '.';
      ++i;
    } else {
      out += (c < 0x20 || c == 0x7F) ? '.' : static_cast<char>(c);
    }
  }
  return out;
}

// "16 GB", "512 kB", "No Module Installed", "Unknown" in KB; nullopt for unknown.
inline std::optional<uint64_t> SizeKB(const std::string& text) {
  if (text == "No Module Installed" || text.empty()) return 0;
  if (text == "Unknown") return std::nullopt;
  std::istringstream in(text);
  uint64_t n = 0;
  std::string unit;
  in >> n >> unit;
  if (unit == "kB") return n;
  if (unit == "MB") return n * 1024;
  if (unit == "GB") return n * 1024 * 1024;
  if (unit == "TB") return n * 1024 * 1024 * 1024;
  return std::nullopt;
}

inline uint64_t Number(const std::string& text) {  // "100 MHz", "64 bits", "Unknown" -> 0
  return std::strtoull(text.c_str(), nullptr, 10);
}

// dmidecode's UUID form: dashes, and (from 2.6) the first three fields little-endian.
inline std::string UuidAsDmidecode(const std::string& hex, const SmbiosEntryPoint& ep) {
  if (hex.size() != 32) return hex;
  if (hex == std::string(32, 'f')) return "Not Present";
  if (hex == std::string(32, '0')) return "Not Settable";
  std::string h = hex;
  if (ep.major > 2 || (ep.major == 2 && ep.minor >= 6)) {
    auto swap = [&h](std::size_t at, std::size_t bytes) {
      std::string part;
      for (std::size_t i = bytes; i-- > 0;) part += h.substr(at + 2 * i, 2);
      h.replace(at, 2 * bytes, part);
    };
    swap(0, 4);
    swap(8, 2);
    swap(12, 2);
  }
  std::string out = h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" +
                    h.substr(16, 4) + "-" + h.substr(20);
  return out;
}

#define EXPECT_FIELD(ours, paragraph, key) \
  EXPECT_EQ(Unspecified(AsDmidecode(ours)), Text(paragraph, key)) << "field " << key

// A DMTF name of ours against dmidecode's shorter one ("Intel Xeon processor" / "Xeon",
// "PCI Express Gen 3 x16" / "x16 PCI Express 3 x16"): theirs holds all of ours, or ours all of
// theirs, compared folded.
inline bool NamesOverlap(std::string_view ours, std::string_view theirs) {
  // Our parenthesised explanations ("(Mechanical Key A)") are not in dmidecode's names.
  std::string plain(ours.substr(0, ours.find(" (")));
  auto a = Folded(plain), b = Folded(theirs);
  for (auto at = a.find("gen"); at != std::string::npos; at = a.find("gen")) a.erase(at, 3);
  if (a == "pci66mhzcapable") a = "pci66";
  if (!a.empty() && (b.find(a) != std::string::npos || a.find(b) != std::string::npos)) return true;
  // Word by word: "Xeon MP" in "Intel Xeon processor MP".
  std::istringstream words{std::string(theirs)};
  std::string word;
  bool all = !a.empty();
  while (words >> word) all = all && a.find(Folded(word)) != std::string::npos;
  return all;
}

inline std::string PciText(const TSMBIOS_PciAddress& a) {
  char text[24];
  std::snprintf(text, sizeof text, "%04x:%02x:%02x.%x", a.Segment, a.Bus, a.DeviceFunction >> 3,
                a.DeviceFunction & 7);
  return text;
}

// dmidecode's type detail text: the bit names with blanks, "None" for no bit.
inline std::string DetailFolded(uint16_t bits) {
  if ((bits & 0xFFFE) == 0) return "none";
  std::string out;
  for (int i = 1; i < 16; ++i) {
    if (!(bits & (1u << i))) continue;
    std::string name = Folded(NameOf(MemoryTypeDetailNames(), i - 1));
    if (name == "registered") name += "buffered";
    if (name == "unbuffered") name += "unregistered";
    out += name;
  }
  return out;
}

}  // namespace tavrin::collectors::smbios::reference
