#include "collectors/cpu/cpu_identify.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

using enum TCpuVendor;

constexpr VendorRow kVendors[] = {
#define TAVRIN_VENDOR(vendor, id, shortName, fullName, ext) {vendor, id, shortName, fullName, ext},
#include "collectors/cpu/cpu_vendor_table.inc"
#undef TAVRIN_VENDOR
};

struct HypervisorRow {
  const char* signature;
  const char* name;
};
constexpr HypervisorRow kHypervisors[] = {
#define TAVRIN_HYPERVISOR(signature, name) {signature, name},
#include "collectors/cpu/cpu_hypervisor_table.inc"
#undef TAVRIN_HYPERVISOR
};

// Brand strings hypervisors make up. Sources: the CPU model definitions QEMU documents for its
// "-cpu" option (docs/system/cpu-models-x86), KVM's "host" and default models, and the
// brand strings of cloud instances' virtual processors as their providers document them.
constexpr GenericBrand kGenericBrands[] = {
#define TAVRIN_GENERIC_BRAND(prefix, family, giver) {prefix, family, giver},
#include "collectors/cpu/cpu_generic_brand_table.inc"
#undef TAVRIN_GENERIC_BRAND
};

void AppendRegister(std::string& out, uint32_t r) {
  for (int b = 0; b < 4; ++b) out += static_cast<char>((r >> (8 * b)) & 0xFF);
}

constexpr bool EqualNoCase(std::string_view a, std::string_view b) {
  return base::EqualsNoCase(a, b);
}

// Removes every occurrence of `what` (without case), or replaces it with `with`.
std::string ReplaceNoCase(std::string text, std::string_view what, std::string_view with) {
  std::size_t pos = 0;
  while (pos + what.size() <= text.size()) {
    if (EqualNoCase(std::string_view(text).substr(pos, what.size()), what)) {
      text.replace(pos, what.size(), with);
      pos += with.size();
    } else {
      ++pos;
    }
  }
  return text;
}

bool ContainsNoCase(std::string_view text, std::string_view what) {
  for (std::size_t pos = 0; pos + what.size() <= text.size(); ++pos)
    if (EqualNoCase(text.substr(pos, what.size()), what)) return true;
  return false;
}

std::string CutFrom(std::string text, std::string_view marker) {
  const auto pos = text.find(marker);
  if (pos != std::string::npos) text.erase(pos);
  return text;
}

// AMD brand strings write "Processor" capitalised; the cut finds it in any case.
std::string CutFromNoCase(std::string text, std::string_view marker) {
  for (std::size_t pos = 0; pos + marker.size() <= text.size(); ++pos)
    if (EqualNoCase(std::string_view(text).substr(pos, marker.size()), marker)) {
      text.erase(pos);
      break;
    }
  return text;
}

// "Pentium(R) M processor 1.60GHz" ends at the word, whatever its case ("Xeon Processor");
// where a model number follows it ("Processor E5-2680"), only the word goes.
std::string DropProcessorWord(std::string text) {
  constexpr std::string_view kWord = "processor";
  for (std::size_t pos = 0; pos + kWord.size() <= text.size(); ++pos) {
    if (!EqualNoCase(std::string_view(text).substr(pos, kWord.size()), kWord)) continue;
    const std::string_view rest = std::string_view(text).substr(pos + kWord.size());
    const auto first = rest.find_first_not_of(' ');
    const bool clock_or_nothing = first == std::string_view::npos ||
                                  std::isdigit(static_cast<unsigned char>(rest[first])) ||
                                  rest[first] == '@';
    if (clock_or_nothing)
      text.erase(pos);
    else
      text.erase(pos, kWord.size());
    break;
  }
  return text;
}

std::string TrimCollapse(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

}  // namespace

const VendorRow& VendorInfo(TCpuVendor vendor) {
  const auto i = static_cast<std::size_t>(vendor);
  return i < std::size(kVendors) ? kVendors[i] : kVendors[0];
}

std::string VendorString(const platform::CpuidRegisters& leaf0) {
  std::string id;
  AppendRegister(id, leaf0.ebx);
  AppendRegister(id, leaf0.edx);
  AppendRegister(id, leaf0.ecx);
  return id;
}

TCpuVendor RefineVendor(TCpuVendor vendor, int family, std::string_view brand) {
  if (vendor == cvIDT && (family >= 7 || ContainsNoCase(brand, "zhaoxin"))) return cvZhaoxin;
  return vendor;
}

const GenericBrand* FindGenericBrand(std::string_view brand) {
  for (const auto& row : kGenericBrands) {
    const std::string_view prefix = row.prefix;
    if (brand.substr(0, prefix.size()) != prefix) continue;
    const std::string_view rest = brand.substr(prefix.size());
    if (rest.empty() || rest.substr(0, 2) == " (" || rest.substr(0, 2) == " @" ||
        rest.substr(0, 8) == " version")
      return &row;
  }
  return nullptr;
}

TCpuVendor VendorFromString(std::string_view id, bool ignoreCase) {
  for (std::size_t i = 1; i < std::size(kVendors); ++i)
    if (ignoreCase ? EqualNoCase(id, kVendors[i].id) : id == kVendors[i].id)
      return kVendors[i].vendor;
  return cvUnknown;
}

Signature DecodeSignature(uint32_t eax) {
  Signature s;
  s.type = static_cast<int>((eax >> 12) & 0x3);
  s.family = static_cast<int>(((eax >> 20) & 0xFF) + ((eax >> 8) & 0xF));
  s.model = static_cast<int>((((eax >> 16) & 0xF) << 4) + ((eax >> 4) & 0xF));
  s.stepping = static_cast<int>(eax & 0xF);
  return s;
}

// Brand index table: Intel SDM Vol. 2A, CPUID, Table 3-14 "Mapping of Brand Indices; and Intel
// 64 and IA-32 Processor Brand Strings".
TIntelBrands IntelBrandFromBrand(int brand, int family, int model, int stepping, int l2KB,
                                 int l3KB) {
  switch (brand) {
    case 1:
    case 10:
    case 20:
      return ibCeleron;
    case 2:
    case 4:
    case 9:
      return ibPentium;
    case 3:
      return l2KB > 128 ? ibXeon : ibCeleron;
    case 6:
    case 14:
      return ibPentium | ibMobile;
    case 7:
    case 19:
    case 23:
      return ibCeleron | ibMobile;
    case 8:
      return (family == 15 && model == 2 && stepping == 4) ? (ibCeleron | ibMobile) : ibPentium;
    case 11:
      return l3KB == 0 ? ibXeon : (ibXeon | ibMP);
    case 12:
      return ibXeon | ibMP;
    case 15:
      return (family == 15 && model == 2 && stepping == 7) ? (ibCeleron | ibMobile)
                                                           : (ibPentium | ibMobile);
    case 17:
    case 21:
      return ibMobile;
    case 18:
      return ibM | ibCeleron;
    case 22:
      return ibM | ibPentium;
    default:
      return 0;
  }
}

int ApicShift(unsigned n) {
  int s = 0;
  while ((1u << s) < n && s < 31) ++s;
  return s;
}

std::string SerialNumberText(const platform::CpuidRegisters& leaf1, bool transmeta) {
  auto groups = [](uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X-%04X", v >> 16, v & 0xFFFF);
    return std::string(text);
  };
  if (transmeta) return groups(leaf1.ebx);
  return groups(leaf1.eax) + "-" + groups(leaf1.edx) + "-" + groups(leaf1.ecx);
}

std::string TrimBrand(std::string_view raw) {
  // The brand string is a C string: it ends at its first NUL after any leading padding. What
  // some processors leave behind it (VIA Samuel, Spreadtrum) is not part of the name.
  std::string text(raw);
  const auto start = text.find_first_not_of(std::string_view("\0 ", 2));
  if (start == std::string::npos) return {};
  text.erase(0, start);
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.erase(nul);
  auto is_trim = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  const auto first = std::find_if_not(text.begin(), text.end(), is_trim);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), is_trim).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string DeriveIntelName(std::string_view marketing, bool mobile) {
  std::string name(marketing);
  name = ReplaceNoCase(name, "Intel", "");
  name = ReplaceNoCase(name, "(R)", "");
  name = ReplaceNoCase(name, "(TM)", " ");
  name = ReplaceNoCase(name, "CPU", "");
  name = ReplaceNoCase(name, "Genuine", "");
  name = DropProcessorWord(name);
  name = CutFrom(name, "@");
  name = TrimCollapse(name);
  if (mobile) name = "Mobile " + name;
  return name;
}

std::string DeriveAmdName(std::string_view marketing) {
  std::string name(marketing);
  name = ReplaceNoCase(name, "AMD", "");
  name = ReplaceNoCase(name, "(R)", "");
  // "FX(tm)-9590": the mark goes without leaving a blank before the model number.
  name = ReplaceNoCase(name, "(tm)-", "-");
  name = ReplaceNoCase(name, "(tm)", " ");
  name = ReplaceNoCase(name, "CPU", "");
  name = ReplaceNoCase(name, "Technology", "");
  name = ReplaceNoCase(name, "Hygon ", "");
  name = CutFromNoCase(name, "processor");
  name = CutFrom(name, "(");
  return TrimCollapse(name);
}

std::string DeriveCentaurName(std::string_view marketing, bool zhaoxin) {
  std::string name(marketing);
  name = ReplaceNoCase(name, "(R)", "");
  name = ReplaceNoCase(name, "(TM)", " ");
  name = ReplaceNoCase(name, zhaoxin ? "ZHAOXIN" : "VIA", "");
  name = ReplaceNoCase(name, "Centaur", "");
  name = CutFrom(name, "@");
  // "Nano processor L2200": the model number follows the word, so only the word goes.
  name = ReplaceNoCase(name, "processor", "");
  name = TrimCollapse(name);
  // A clock written into the name ("C7-M 1200MHz") is not part of it.
  if (const auto blank = name.rfind(' '); blank != std::string::npos) {
    const std::string last = name.substr(blank + 1);
    if (ContainsNoCase(last, "MHz") || ContainsNoCase(last, "GHz")) name.erase(blank);
  }
  if (name.empty()) return {};
  return (zhaoxin ? "Zhaoxin " : "VIA ") + name;
}

// Core 2 era model-number prefixes: Intel processor number lists of the Core 2 Duo, Quad,
// Extreme and Pentium Dual-Core families (ark.intel.com "processor number" pages).
std::string IntelCodeNameFromFragments(std::string_view name) {
  struct Row {
    const char* code;
    std::initializer_list<const char*> fragments;
  };
  static const Row kRows[] = {
      {"Conroe", {"E6", "X6"}},
      {"Allendale", {"E4", "E2"}},
      {"Kentsfield", {"Q6", "QX6"}},
      {"Merom", {"T7", "T5", "L7", "X7", "U7"}},
      {"Yonah", {"T2", "T1", "L2", "U2"}},
      {"Penryn", {"P7", "P8", "P9", "T8", "T9", "L9", "U9", "X9"}},
      {"Wolfdale", {"E5", "E7", "E8"}},
  };
  std::string code;
  for (const auto& row : kRows)
    for (const char* f : row.fragments)
      if (name.find(f) != std::string_view::npos) {
        code = row.code;
        break;
      }
  return code;
}

uint32_t SnapFrequency(uint32_t mhz) {
  static const uint32_t kSteps[] = {0, 20, 33, 50, 60, 66, 80, 90, 100, 133};
  const uint32_t r = mhz % 100;
  for (std::size_t i = 1; i < std::size(kSteps); ++i) {
    if (kSteps[i] > r) {
      const uint32_t s = kSteps[i], p = kSteps[i - 1];
      return r - p >= s - r ? mhz + (s - r) : mhz - (r - p);
    }
  }
  return mhz;
}

uint32_t NormaliseMeasured(uint64_t cycles, uint64_t micros) {
  if (micros == 0) return 0;
  const double ratio = static_cast<double>(cycles) / static_cast<double>(micros);
  const auto raw = static_cast<int64_t>(std::llround(ratio));
  auto tenths = static_cast<int64_t>(std::llround(10 * ratio));
  const auto hundredths = static_cast<int64_t>(std::llround(100 * ratio));
  if (hundredths - 10 * tenths >= 6) tenths += 1;
  return static_cast<uint32_t>(raw + (tenths - 10 * raw >= 6 ? 1 : 0));
}

bool FdivFlawed() {
  // volatile keeps the compiler from folding the division at build time.
  volatile long double x = 4195835.0L, y = 3145727.0L;
  const long double r = x / y * y - x;
  return r != 0.0L;
}

std::string HypervisorName(const platform::CpuidRegisters& leaf) {
  std::string sig;
  AppendRegister(sig, leaf.ebx);
  AppendRegister(sig, leaf.ecx);
  AppendRegister(sig, leaf.edx);
  for (const auto& row : kHypervisors)
    if (std::memcmp(sig.data(), row.signature, 12) == 0) return row.name;
  return TrimBrand(sig);
}

// Intel SDM Vol. 2A, CPUID leaf 1AH "Hybrid Information": core type in EAX bits 31..24.
std::string CoreTypeName(uint32_t code) {
  switch (code) {
    case 0x20:
      return "Efficiency (Atom)";
    case 0x40:
      return "Performance (Core)";
    default:
      return code == 0 ? std::string() : "Type " + std::to_string(code);
  }
}

}  // namespace tavrin::collectors
