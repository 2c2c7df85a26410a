#include "collectors/firmware/smbios_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/strings.h"

namespace tavrin::collectors::smbios {
namespace {

std::string Folded(std::string_view s) {
  std::string out;
  for (unsigned char c : s)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

// Unfilled strings as firmware ships them, compared folded (no case, blanks or dots). Seen in
// the field and in the board makers' templates; a real value never equals one of these.
constexpr std::string_view kPlaceholders[] = {"tobefilledbyoem",
                                              "notspecified",
                                              "empty",
                                              "ffffffff",
                                              "defaultstring",
                                              "notavailable",
                                              "none",
                                              "na",
                                              "oem",
                                              "systemproductname",
                                              "systemversion",
                                              "systemserialnumber",
                                              "systemmanufacturer",
                                              "chassisserialnumber",
                                              "unknown",
                                              "notapplicable",
                                              "0123456789",
                                              "xxxxxxxxxx",
                                              "nodimm",
                                              "00000000",
                                              "0000000000000000"};

constexpr std::string_view Trim(std::string_view s) {
  return base::Trim(s, " \t");
}

// An empty prefix names nothing, so it matches nothing.
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return !prefix.empty() && base::StartsWithNoCase(text, prefix);
}

// "Dell Inc." -> "Dell", "VMware, Inc." -> "VMware": the maker's name without its legal form.
std::string_view FirstWord(std::string_view s) {
  const auto end = s.find_first_of(" ,");
  return s.substr(0, end);
}

}  // namespace

bool IsPlaceholder(std::string_view text) {
  const auto folded = Folded(text);
  if (folded.empty()) return true;
  return std::find(std::begin(kPlaceholders), std::end(kPlaceholders), folded) !=
         std::end(kPlaceholders);
}

std::string Shown(std::string_view text) {
  return IsPlaceholder(text) ? std::string() : std::string(Trim(text));
}

std::string UuidText(const uint8_t (&b)[16], uint8_t major, uint8_t minor) {
  const bool all00 = std::all_of(std::begin(b), std::end(b), [](uint8_t x) { return x == 0; });
  const bool allFF = std::all_of(std::begin(b), std::end(b), [](uint8_t x) { return x == 0xFF; });
  if (all00 || allFF) return {};
  // DMTF SMBIOS 7.2.1: from 2.6 the time_low, time_mid and time_hi fields are little-endian.
  const bool le = major > 2 || (major == 2 && minor >= 6);
  static constexpr int kLe[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string out;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out += '-';
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", b[le ? kLe[i] : i]);
    out += hex;
  }
  return out;
}

bool LooksLikePartNumber(std::string_view product) {
  if (product.size() < 8 || !std::isdigit(static_cast<unsigned char>(product[0]))) return false;
  bool letter = false;
  for (unsigned char c : product) {
    if (!std::isalnum(c)) return false;
    letter = letter || std::isalpha(c);
  }
  return letter;
}

std::string MachineModelText(std::string_view manufacturer, std::string_view product,
                             std::string_view version, std::string_view family) {
  const std::string maker = Shown(manufacturer);
  std::string name = Shown(product);
  if (name.empty() || LooksLikePartNumber(name)) {
    const std::string f = Shown(family), v = Shown(version);
    // Lenovo stores "ThinkPad T480" as both family and version; one is enough.
    std::string better =
        f.empty() ? v : (v.empty() || StartsWithNoCase(v, f) ? (v.empty() ? f : v) : f + " " + v);
    if (!better.empty()) name = better;
  }
  if (name.empty()) return maker;
  if (maker.empty() || StartsWithNoCase(name, FirstWord(maker))) return name;
  return maker + " " + name;
}

}  // namespace tavrin::collectors::smbios
