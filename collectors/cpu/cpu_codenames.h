// Code names and process technology of the processors of the last twenty-five years, looked up
// in plain tables by display family, model, stepping, core count and brand string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "collectors/cpu/cpu_types.h"

namespace tavrin::collectors {

struct CodeNameRow {
  uint16_t family;  ///< display family (family + extended family)
  uint16_t modelFirst, modelLast;
  uint8_t steppingFirst, steppingLast;
  uint8_t cores;         ///< cores per package the row needs; 0 for any
  const char* brandHas;  ///< "" for any, else '|'-separated fragments of the brand string
  const char* code;
  const char* technology;
};

/// The table of a vendor (Intel; AMD and Hygon; Centaur and Zhaoxin); empty for the others.
std::span<const CodeNameRow> CodeNameTable(TCpuVendor vendor);

struct CodeNameInputs {
  int family = 0, model = 0, stepping = 0;
  uint32_t cores = 0;      ///< cores per package, 0 when unknown
  std::string_view brand;  ///< the brand string as the processor gives it
};

/// The first row of `table` that fits, or null. The brand string is compared with its runs of
/// blanks collapsed, so "Xeon(R) CPU           E7450" finds "Xeon(R) CPU E7".
const CodeNameRow* FindCodeName(std::span<const CodeNameRow> table, const CodeNameInputs& in);

/// Why a row was chosen when its model number is shared ("brand string contains 'Xeon'",
/// "4 cores", "stepping 3"), for the diagnostics log; "" for a row of its own model.
std::string CodeNameReason(std::span<const CodeNameRow> table, const CodeNameRow& row);

}  // namespace tavrin::collectors
