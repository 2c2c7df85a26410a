// The processor's identification rules, as pure functions of register values and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collectors/cpu/cpu_types.h"
#include "platform/processor.h"

namespace tavrin::collectors {

struct VendorRow {
  TCpuVendor vendor;
  const char* id;
  const char* shortName;
  const char* fullName;
  bool extendedCacheMethod;
};
const VendorRow& VendorInfo(TCpuVendor vendor);

/// The 12 characters of leaf 0: EBX, EDX, ECX, each lowest byte first.
std::string VendorString(const platform::CpuidRegisters& leaf0);
/// cvUnknown unless a row equals `id` (exactly, or without case for registry text).
TCpuVendor VendorFromString(std::string_view id, bool ignoreCase = false);

/// Zhaoxin's first parts (and every part of family 7) report Centaur's vendor string; their
/// family or brand string ("ZHAOXIN KaiXian ...") tells them apart. Other vendors unchanged.
TCpuVendor RefineVendor(TCpuVendor vendor, int family, std::string_view brand);

/// A brand string a hypervisor makes up instead of passing the host's ("QEMU Virtual CPU
/// version 2.5+", "Intel(R) Xeon(R) Processor"): the family word to show and who gives it.
struct GenericBrand {
  const char* prefix;  ///< the brand string starts with it (then ends, or goes on with " (" or
                       ///< " version")
  const char* family;  ///< "Xeon", "QEMU Virtual CPU"
  const char* giver;   ///< when the hypervisor leaf does not name itself
};
const GenericBrand* FindGenericBrand(std::string_view brand);

/// Leaf 1 EAX: extended family is always added, extended model always combined.
struct Signature {
  int type = 0, family = 0, model = 0, stepping = 0;
};
Signature DecodeSignature(uint32_t eax);

/// Brand attributes from the brand index (before ibDuoCore/ibP4 are added).
TIntelBrands IntelBrandFromBrand(int brand, int family, int model, int stepping, int l2KB,
                                 int l3KB);

/// Smallest s with 2^s >= n.
int ApicShift(unsigned n);

/// "XXXX-XXXX-XXXX-XXXX-XXXX-XXXX" from EAX, EDX, ECX; Transmeta: EBX alone as two groups.
std::string SerialNumberText(const platform::CpuidRegisters& leaf1, bool transmeta);

/// Brand string bytes up to the first NUL, without blanks and control characters at both ends.
std::string TrimBrand(std::string_view raw);

/// The popular name from a brand string when the model tables give none.
std::string DeriveIntelName(std::string_view marketing, bool mobile);
std::string DeriveAmdName(std::string_view marketing);
/// VIA and Zhaoxin: "VIA Nano processor L2200@1600MHz" -> "VIA Nano L2200", "ZHAOXIN KaiXian
/// ZX-C+ C4580@1.83GHz" -> "Zhaoxin KaiXian ZX-C+ C4580".
std::string DeriveCentaurName(std::string_view marketing, bool zhaoxin);
/// Intel code name from fragments of the popular name; the last matching row wins; "" for none.
std::string IntelCodeNameFromFragments(std::string_view name);

/// Snaps a frequency to the usual marketing steps (…20, 33, 50, 60, 66, 80, 90, 100, 133).
uint32_t SnapFrequency(uint32_t mhz);
/// Rounds cycles/µs totals to MHz, rounding up from .6 of the tenths.
uint32_t NormaliseMeasured(uint64_t cycles, uint64_t micros);

/// x / y * y - x in extended precision with the classic divisor pair; nonzero on a flawed FPU.
bool FdivFlawed();

/// Display name of a leaf 0x40000000 signature, or the signature itself when unknown.
std::string HypervisorName(const platform::CpuidRegisters& leaf40000000);
/// Core type of leaf 0x1A EAX bits 31..24.
std::string CoreTypeName(uint32_t code);

}  // namespace tavrin::collectors
