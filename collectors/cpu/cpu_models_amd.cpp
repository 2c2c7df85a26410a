// AMD model table. Sources: AMD "Processor Recognition" application note (publication 20734),
// the "Revision Guide for AMD Athlon 64 and AMD Opteron Processors" (publication 25759) and the
// K5/K6/Athlon/Duron data sheets (CPUID signatures and steppings).
#include "collectors/cpu/cpu_models.h"

#include "collectors/cpu/cpu_identify.h"

#include <cstdio>

namespace tavrin::collectors {
namespace {

ModelNames Family5(const ModelInputs& in) {
  const int s = in.stepping;
  switch (in.model) {
    case 0:
      return {"K5", "SSA/5", ByStepping(s, {{0, "E"}, {1, "F"}}), "0.50 µm"};
    case 1:
    case 2:
    case 3:
      return {"K5", "5k86", "", "0.35 µm"};
    case 6:
      return {"K6", "K6", ByStepping(s, {{1, "B"}, {2, "C"}}), "0.30 µm"};
    case 7:
      return {"K6", "Little Foot", "A", "0.25 µm"};
    case 8:
      return {"K6-II", "Chomper", ByStepping(s, {{0, "A"}}), "0.25 µm"};
    case 9:
      return {"K6-III", "Sharptooth", ByStepping(s, {{0, "A"}}), "0.25 µm"};
    case 13:
      return {"K6-II+/K6-III+", "", "", ""};
    default:
      return {};
  }
}

ModelNames Family6(const ModelInputs& in) {
  const int s = in.stepping, l2 = in.l2KB;
  switch (in.model) {
    case 0:
      return {"Athlon", "Argon", "", "0.25 µm"};
    case 1:
      return {"Athlon", "Argon", ByStepping(s, {{1, "C1"}, {2, "C2"}}), "0.25 µm"};
    case 2:
      return {"Athlon", "Pluto/Orion", ByStepping(s, {{1, "A1"}, {2, "A2"}}), "0.18 µm"};
    case 3:
      return {"Duron", "Spitfire", ByStepping(s, {{0, "A0"}, {1, "A1,A2"}}), "0.18 µm"};
    case 4:
      return {"Athlon", "Thunderbird", ByStepping(s, {{2, "A4,A5,A6,A7"}, {4, "A9"}}), "0.18 µm"};
    case 6:
      return {"Athlon XP", "Palomino/Corvette", ByStepping(s, {{0, "A0"}, {1, "A2"}, {2, "A5"}}),
              "0.18 µm"};
    case 7:
      return {"Duron", "Morgan/Camaro", ByStepping(s, {{0, "A0"}, {1, "A1"}}), "0.18 µm"};
    case 8: {
      const char* name = l2 >= 256 ? (in.Feature(3, 19) ? "Sempron" : "Athlon XP") : "Duron";
      return {name, "Thoroughbred", ByStepping(s, {{0, "A0"}, {1, "B0"}}), "0.13 µm"};
    }
    case 9:
      return {"Athlon", "Appaloosa", "", "0.13 µm"};
    case 10: {
      const char* name = in.Feature(3, 19) ? "Sempron" : l2 == 512 ? "Athlon" : "Athlon XP";
      const char* code = l2 == 64 ? "Applebred" : l2 == 256 ? "Geode" : "Barton";
      return {name, code, "A2", "0.13 µm"};
    }
    default:
      return {};
  }
}

ModelNames Family15(const ModelInputs& in) {
  ModelNames n;
  const int brand_hi = (in.brand >> 5) & 0x7, brand_lo = in.brand & 0x1F;
  switch (in.model) {
    case 3:
      n = {"Athlon 64", "Toledo", "", "90 nm"};
      break;
    case 4:
      n = {"Athlon 64", "Clawhammer", "", "0.13 µm"};
      if (brand_hi == 1) n.code = in.l2KB == 512 ? "Newcastle" : "Hammer";
      if (in.stepping == 8) n.revision = "SH7-C0";
      break;
    case 5: {
      n = {"Opteron", "Sledgehammer", "", "0.13 µm"};
      const char* format = brand_hi == 3   ? " UP1-%d"
                           : brand_hi == 4 ? " DP2-%d"
                           : brand_hi == 5 ? " MP8-%d"
                                           : nullptr;
      if (format) {
        char text[32];
        std::snprintf(text, sizeof text, format, 38 + 2 * brand_lo);
        n.revision = text;
      }
      if (in.stepping == 1) n.revision = "SH7-B3";
      if (in.stepping == 8) n.revision = "SH7-C0";
      break;
    }
    case 6:
      n = {"", "Toledo", "", "90 nm"};
      break;
    case 7:
      n = {"", "San Diego", "", "90 nm"};
      break;
    case 8:
      n = in.modelEx == 72 ? ModelNames{"", "Taylor", "", "90 nm"}
                           : ModelNames{"", "Paris", "", "130 nm"};
      break;
    case 9:
      n = {"", "K9", "", "90 nm"};
      break;
    case 10:
    case 12:
      n = {"", "Victoria", "", "90 nm"};
      break;
    case 11:
      n = {"", (in.modelEx == 11 || in.modelEx == 75) ? "Windsor" : "", "", "90 nm"};
      break;
    case 17:
      n = {"", in.modelEx == 31 ? "Winchester" : in.modelEx == 47 ? "Venice" : "", "", "90 nm"};
      break;
  }
  // Rows without a name of their own take the brand string's, so that the suffixes apply to it.
  if (n.name.empty() && !n.code.empty()) n.name = DeriveAmdName(in.marketingName);
  if (in.corePerPackage >= 2 && !n.name.empty()) n.name += " X2";
  if (!n.name.empty() && n.name.find("64") == std::string::npos && in.architecture == 9)
    n.name += " 64";
  return n;
}

}  // namespace

ModelNames AmdModel(const ModelInputs& in) {
  switch (in.family) {
    case 4:
      switch (in.model) {
        case 0:
          return {"Am486DX", "", "", ""};
        case 3:
        case 7:
          return {"Am486DX2", "", "", ""};
        case 8:
        case 9:
          return {"Am486DX4", "", "", ""};
        case 14:
        case 15:
          return {"Am5x86", "", "A", ""};
        default:
          return {};
      }
    case 5:
      return Family5(in);
    case 6:
      return Family6(in);
    case 15:
      return Family15(in);
    default:
      return {};
  }
}

}  // namespace tavrin::collectors
