#include "collectors/cpu/cpu_models.h"

namespace tavrin::collectors {

bool ModelInputs::Feature(int set, int bit) const {
  if (!features) return false;
  const TCPUFeatureSet* sets[] = {&features->Standard1, &features->Standard2, &features->Extended1,
                                  &features->Extended2, &features->PowerManagement};
  if (set < 1 || set > 5) return false;
  return sets[set - 1]->FeatureByBit(static_cast<uint8_t>(bit)).available;
}

std::string ByStepping(int stepping, std::initializer_list<std::pair<int, const char*>> rows) {
  for (const auto& [s, text] : rows)
    if (s == stepping) return text;
  return {};
}

ModelNames LookupModel(TCpuVendor vendor, const ModelInputs& in) {
  switch (vendor) {
    case TCpuVendor::cvIntel:
      return IntelModel(in);
    case TCpuVendor::cvAmd:
    case TCpuVendor::cvHygon:
      return AmdModel(in);
    case TCpuVendor::cvCyrix:
      return CyrixModel(in);
    case TCpuVendor::cvIDT:
    case TCpuVendor::cvZhaoxin:
      return IdtModel(in);
    case TCpuVendor::cvNexGen:
    case TCpuVendor::cvUMC:
    case TCpuVendor::cvRise:
    case TCpuVendor::cvSiS:
    case TCpuVendor::cvGeode:
    case TCpuVendor::cvTransmeta:
      return SmallVendorModel(vendor, in);
    default:
      return {};
  }
}

// Cyrix: "Cyrix 6x86/6x86L/6x86MX/MII Data Book" and the "Cyrix CPU Detection Guide" (family,
// model and DIR0 identification), VIA Cyrix III data sheet.
ModelNames CyrixModel(const ModelInputs& in) {
  ModelNames n;
  const int fm = in.family * 100 + in.model;
  if (in.family == 0) {
    switch (in.stepping) {
      case 5:
        n = {"Cx486S/D", "M5", "", ""};
        break;
      case 6:
        n = {"Cx486DX", "M6", "", ""};
        break;
      case 7:
        n = {"Cx486DX2", "M7", "", ""};
        break;
      case 8:
        n = {"Cx486DX4", "M8", "", ""};
        break;
    }
    return n;
  }
  switch (fm) {
    case 401:
      n = {"Cx486SLC", "", "A", ""};
      break;
    case 402:
      n.name = "Cx5x86";
      if (in.stepping == 9 || in.stepping == 11 || in.stepping == 13 || in.stepping == 15)
        n.revision = "0,rev1";
      break;
    case 404:
      n = {"MediaGX", "", "GX,GXm", ""};
      break;
    case 409:
      n = {"Cx5x86", "", "0,rev2+", "0.65 µm"};
      break;
    case 502:
      n = {"6x86", "M1", "", "0.65 µm"};
      break;
    case 503:
      n = {"6x86L", "M1L", "", "0.35 µm"};
      break;
    case 600:
      n = {in.frequency < 225 ? "6x86MX" : "M-II", "M2", "", "0.35 µm"};
      break;
    case 605:
      n = {"VIA Cyrix III", "Joshua", "", ""};
      break;
    case 606:
      n = {"VIA Cyrix 3", in.stepping == 5 ? "Samuel II" : "Samuel I", "", ""};
      break;
    case 607:
      n = {"VIA Cyrix 3", "Ezra", "", ""};
      break;
  }
  return n;
}

// Centaur/IDT/VIA: "IDT WinChip C6/2/3 Data Sheets" and "VIA C3 Processor Datasheet" (Samuel,
// Ezra, Nehemiah CPUID signatures).
ModelNames IdtModel(const ModelInputs& in) {
  ModelNames n;
  const int s = in.stepping;
  switch (in.family * 100 + in.model) {
    case 504:
      n = {"WinChip", "C6", "", "0.35 µm"};
      break;
    case 508:
      n = {"WinChip 2", "C6-2", "", "0.35-0.25 µm"};
      if (s == 1 || s == 5)
        n.revision = "WC2";
      else if (s >= 7 && s <= 9)
        n.revision = "WC2A";
      else if (s >= 10 && s <= 15)
        n.revision = "WC2B";
      break;
    case 509:
      n = {"WinChip 3", "", "", "0.25 µm"};
      break;
    case 606:
      n = {"VIA C3 C5A", "Samuel 1", "", "0.18 µm"};
      break;
    case 607:
      n = s >= 8 ? ModelNames{"VIA C3 C5C", "Ezra", "", "0.13µm"}
                 : ModelNames{"VIA C3 C5B", "Samuel 2", "", "0.13 µm"};
      break;
    case 608:
      n = {"VIA C3 C5N", "Ezra-T", "", "0.13 µm"};
      break;
    case 609:
      n = {s >= 8 ? "VIA C3 C5P" : "VIA C3 C5XL", "Nehemiah", "", "0.13 µm"};
      break;
  }
  return n;
}

// NexGen Nx586/Nx686, Rise mP6, SiS 55x, UMC U5, NSC Geode and Transmeta Crusoe/Efficeon data
// sheets (CPUID signature tables).
ModelNames SmallVendorModel(TCpuVendor vendor, const ModelInputs& in) {
  ModelNames n;
  const int fm = in.family * 100 + in.model;
  switch (vendor) {
    case TCpuVendor::cvNexGen:
      if (fm == 500) n = {"Nx586", "", "", "0.50-0.44 µm"};
      if (fm == 506) n = {"Nx686", "HA", "", "0,50 µm"};
      break;
    case TCpuVendor::cvRise:
      if (fm == 500) n = {"mP6", "iDragon", "", ""};
      if (fm == 502) n = {"mP6", "iDragon", "", "0.18 µm"};
      if (fm == 508) n = {"mP6", "iDragon II", "", "0.25 µm"};
      if (fm == 509) n = {"mP6", "iDragon II", "", "0.18 µm"};
      break;
    case TCpuVendor::cvSiS:
      if (fm == 500) n.name = "55x";
      break;
    case TCpuVendor::cvUMC:
      if (fm == 401) n.name = "U5SD";
      if (fm == 402) n.name = "U5S/X";
      if (fm == 403) n.name = "U486DX2";
      if (fm == 405) n.name = "U486SX2";
      break;
    case TCpuVendor::cvGeode:
      n.name = "Geode";
      break;
    case TCpuVendor::cvTransmeta:
      if (in.family == 5) {
        n.name = "Crusoe";
        n.code = in.l2KB == 0 ? "TM3200" : in.l2KB == 256 ? "TM5400/TM5500" : "TM5600/TM5800";
      } else if (in.family == 6) {
        n.name = "Efficeon";
        n.code = in.l2KB == 256 ? "Astro,TM8300/TM8500" : "Astro,TM8600/TM8800";
      }
      break;
    default:
      break;
  }
  return n;
}

}  // namespace tavrin::collectors
