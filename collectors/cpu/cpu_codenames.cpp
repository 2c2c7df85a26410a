#include "collectors/cpu/cpu_codenames.h"

#include <iterator>

namespace tavrin::collectors {
namespace {

constexpr CodeNameRow kIntel[] = {
#define TAVRIN_CODENAME(f, m0, m1, s0, s1, c, b, code, tech) {f, m0, m1, s0, s1, c, b, code, tech},
#include "collectors/cpu/cpu_codename_intel.inc"
#undef TAVRIN_CODENAME
};
constexpr CodeNameRow kAmd[] = {
#define TAVRIN_CODENAME(f, m0, m1, s0, s1, c, b, code, tech) {f, m0, m1, s0, s1, c, b, code, tech},
#include "collectors/cpu/cpu_codename_amd.inc"
#undef TAVRIN_CODENAME
};
constexpr CodeNameRow kCentaur[] = {
#define TAVRIN_CODENAME(f, m0, m1, s0, s1, c, b, code, tech) {f, m0, m1, s0, s1, c, b, code, tech},
#include "collectors/cpu/cpu_codename_centaur.inc"
#undef TAVRIN_CODENAME
};

std::string Collapse(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

bool BrandFits(std::string_view fragments, const std::string& brand) {
  if (fragments.empty()) return true;
  std::size_t pos = 0;
  while (pos <= fragments.size()) {
    std::size_t end = fragments.find('|', pos);
    if (end == std::string_view::npos) end = fragments.size();
    const std::string_view f = fragments.substr(pos, end - pos);
    if (!f.empty() && brand.find(f) != std::string::npos) return true;
    pos = end + 1;
  }
  return false;
}

bool SameModel(const CodeNameRow& a, const CodeNameRow& b) {
  return a.family == b.family && a.modelFirst <= b.modelLast && b.modelFirst <= a.modelLast;
}

}  // namespace

std::span<const CodeNameRow> CodeNameTable(TCpuVendor vendor) {
  switch (vendor) {
    case TCpuVendor::cvIntel:
      return kIntel;
    case TCpuVendor::cvAmd:
    case TCpuVendor::cvHygon:
      return kAmd;
    case TCpuVendor::cvIDT:
    case TCpuVendor::cvZhaoxin:
      return kCentaur;
    default:
      return {};
  }
}

const CodeNameRow* FindCodeName(std::span<const CodeNameRow> table, const CodeNameInputs& in) {
  const std::string brand = Collapse(in.brand);
  for (const auto& row : table) {
    if (row.family != in.family || in.model < row.modelFirst || in.model > row.modelLast) continue;
    if (in.stepping < row.steppingFirst || in.stepping > row.steppingLast) continue;
    if (row.cores != 0 && row.cores != in.cores) continue;
    if (!BrandFits(row.brandHas, brand)) continue;
    return &row;
  }
  return nullptr;
}

std::string CodeNameReason(std::span<const CodeNameRow> table, const CodeNameRow& row) {
  int sharing = 0;
  for (const auto& other : table)
    if (SameModel(other, row)) ++sharing;
  if (sharing < 2) return {};
  std::string reason;
  if (row.brandHas[0]) reason = std::string("brand string contains '") + row.brandHas + "'";
  if (row.cores) reason += (reason.empty() ? "" : ", ") + std::to_string(row.cores) + " cores";
  if (row.steppingFirst != 0 || row.steppingLast != 15)
    reason += (reason.empty() ? "stepping " : ", stepping ") + std::to_string(row.steppingFirst) +
              "-" + std::to_string(row.steppingLast);
  return reason.empty() ? "no other row of this model fits" : reason;
}

}  // namespace tavrin::collectors
