// Intel model table. Sources: Intel "Processor Identification and the CPUID Instruction"
// (Application Note 485), the specification updates of the i486, Pentium, Pentium Pro, Pentium
// II/III, Celeron, Pentium M, Core and Pentium 4 families (stepping/revision tables), and the
// Intel Itanium processor reference manuals.
#include "collectors/cpu/cpu_models.h"

namespace tavrin::collectors {
namespace {

ModelNames Family4(const ModelInputs& in) {
  const int s = in.stepping;
  ModelNames n;
  switch (in.model) {
    case 0:
      n = {"i80486DX", "P4",
           ByStepping(s, {{0, "A0-A1"}, {1, "B2-B6"}, {2, "C0"}, {3, "C1"}, {4, "D0"}}), ""};
      break;
    case 1:
      n = {"i80486DX", "P4",
           ByStepping(s, {{0, "cA2,cA3"}, {1, "cB0,cB1"}, {3, "cC0"}, {4, "aA0,aA1"}, {5, "aB0"}}),
           ""};
      if (s == 4 || s == 5) n.name += "-SL";
      break;
    case 2:
      n = {"i80486SX", "P4S",
           ByStepping(s, {{0, "A0"},
                          {2, "B0"},
                          {3, "bBx"},
                          {4, "gAx"},
                          {7, "cA0"},
                          {8, "cB0"},
                          {10, "aA0,aA1"},
                          {11, "aB0,aC0"}}),
           ""};
      if (s == 3) n.name += "-WB";
      if (s == 10 || s == 11) n.name += "-SL";
      break;
    case 3:
      n = {"i80486DX/2", s == 6 ? "P24D" : "P24S",
           ByStepping(s, {{2, "A0-A2"}, {3, "B1"}, {4, "aA0,aA1"}, {5, "aB0,aC0"}, {6, "A"}}), ""};
      if (s == 4 || s == 5) n.name += "-SL";
      if (s == 6) n.name += "-WB";
      break;
    case 4:
      n = {"i80486SL", "P23", ByStepping(s, {{0, "A"}}), ""};
      break;
    case 5:
      n = {"i80486SX/2", "P23", ByStepping(s, {{11, "aC0"}}), ""};
      break;
    case 7:
      n = {"i80486DX/2-WB", "P24D", "A", ""};
      break;
    case 8:
    case 9:
      n = {in.cpuType == 1 ? "i80486DX/4 OverDrive" : "i80486DX/4", "P24C", "A", ""};
      break;
  }
  return n;
}

ModelNames Family5(const ModelInputs& in) {
  const int s = in.stepping, t = in.cpuType;
  ModelNames n;
  switch (in.model) {
    case 0:
      n = {"Pentium", "A80501,P5", "Ax", "0.80 µm"};
      break;
    case 1:
      if (t == 1)
        n = {"Pentium OverDrive for P5", "PODP5V,P5T", ByStepping(s, {{10, "tA0"}}), "0.80 µm"};
      else
        n = {"Pentium", "A80501,P5", ByStepping(s, {{3, "B1"}, {4, "B2"}, {5, "C1"}, {7, "D1"}}),
             "0.80 µm"};
      break;
    case 2:
      if (t == 0)
        n = {"Pentium", "A80502,P54C,P54CS",
             ByStepping(s, {{1, "B1"},
                            {2, "B3"},
                            {4, "B5"},
                            {5, "C1,C2,mA1"},
                            {6, "E0"},
                            {11, "cB1,mcB1"},
                            {12, "aC0,cC0,mcC0,acC0"}}),
             "0.50 µm"};
      else
        n = {"Pentium OverDrive for P54C", t == 1 ? "P54CT" : "P54M", "", "0.35 µm"};
      break;
    case 3:
      n = {"Pentium OverDrive for 486", s == 1 ? "P24T" : "P24B", "", ""};
      break;
    case 4:
      if (t == 1)
        n = {"Pentium MMX OverDrive for P54C", "P55CTP", ByStepping(s, {{4, "oxA3"}}), "0.28 µm"};
      else
        n = {"Pentium MMX", "A80503,P55C",
             ByStepping(s, {{1, "A1"}, {2, "A3"}, {3, "xB1,mxB1"}, {4, "xA3,mxA3"}}), "0.28 µm"};
      break;
    case 7:
      n = {"Pentium", "A80502,P54C,P54CS", "", "0.35 µm"};
      break;
    case 8:
      n = {"Pentium MMX", "A80503,P55C", ByStepping(s, {{1, "myA0"}, {2, "sB1,myB1"}}), "0.25 µm"};
      break;
  }
  return n;
}

ModelNames Family6(const ModelInputs& in) {
  const int s = in.stepping, l2 = in.l2KB;
  const bool xeon = in.intelBrand & ibXeon;
  ModelNames n;
  switch (in.model) {
    case 0:
      n = {"Pentium Pro", "A80521,P6", "", "0.50 µm"};
      break;
    case 1:
      n = {"Pentium Pro", "A80521,P6",
           ByStepping(s, {{1, "B0"}, {2, "C0"}, {6, "sA0"}, {7, "sA1"}, {9, "sB1"}}), "0.35 µm"};
      break;
    case 3:
      if (in.cpuType != 0)
        n = {"Pentium II OverDrive", "POPD66X333,P6T", ByStepping(s, {{2, "TdB0"}}), "0.28 µm"};
      else
        n = {"Pentium II", "A80522,P6L Klamath", ByStepping(s, {{3, "C0"}, {4, "C1"}}), "0.28 µm"};
      break;
    case 5:
      if (l2 >= 1024)
        n = {"Pentium II Xeon", "A80523, P6L Deschutes", "", ""};
      else if (l2 == 512)
        n = {"Pentium II", "A80523, P6L Deschutes", "", ""};
      else if (l2 == 256)
        n = {"Pentium II PE", "Tonga", "", ""};
      else
        n = {"Celeron", "P6C Covington", "", ""};
      n.technology = "0.25 µm";
      n.revision = ByStepping(
          s, {{0, "dA0,mdA0,mmdA0"}, {1, "dA1"}, {2, "B0,dB0,mdB0,mmdB0"}, {3, "B1,dB1"}});
      break;
    case 6:
      if (l2 == 128)
        n.name = in.Feature(1, 18) ? "Mobile Celeron" : "Celeron";
      else
        n.name = "Mobile Pentium II";
      n.code = n.name == "Celeron" ? "P6C Mendocino, Celeron A" : "Dixon";
      n.technology = "0.25 µm";
      n.revision =
          ByStepping(s, {{0, "mA0"}, {2, "dB1"}, {5, "mB0"}, {10, "mdbA0,mdxA0,mqbA1,mqpA1"}});
      break;
    case 7:
      n = l2 >= 1024 ? ModelNames{"Pentium III Xeon", "Tanner", "", ""}
                     : ModelNames{"Pentium III", "A80525,P6K Katmai", "", ""};
      n.technology = "0.25 µm";
      n.revision = ByStepping(s, {{2, "B0,kB0"}, {3, "C0,kC0"}});
      break;
    case 8:
      if (l2 > 128) {
        if (in.brand == 1)
          n = {"Celeron", "A80526, Coppermine", "", ""};
        else if (in.brand == 3)
          n = {"Pentium III Xeon", "Cascades", "", ""};
        else
          n = {"Pentium III", "A80526, Coppermine", "", ""};
      } else {
        n = {"Celeron", "Coppermine-128, Celeron II", "", ""};
      }
      n.technology = "0.18 µm";
      n.revision =
          ByStepping(s, {{1, "A2,cA2,cA2c"}, {3, "B0,cB0,cB0c"}, {6, "C0,cC0"}, {10, "D0,cD0"}});
      break;
    case 9:
      n = {"Pentium III", "", "", "0.13 µm"};
      if (in.brand == 18) n = {"Celeron M", "Banias", "", "0.13 µm"};
      if (in.brand == 22) n = {"Pentium M", "Banias", "", "0.13 µm"};
      break;
    case 10:
      n = {"Pentium III Xeon A", "A80530,Tualatin",
           ByStepping(s, {{0, "A0"}, {1, "A1"}, {4, "B0"}}), "0.18 µm"};
      break;
    case 11:
      n = {"Pentium III B", "A80530,Tualatin", "", "0.13 µm"};
      if (in.brand == 1) n.name = "Celeron";
      if (in.brand == 3) n.name = l2 > 256 ? "Pentium III Xeon" : "Celeron";
      if (in.brand == 6) n = {"Mobile Pentium III M", "Geyservile", "", "0.13 µm"};
      if (in.brand == 7) n = {"Mobile Celeron", "Geyservile", "", "0.13 µm"};
      n.revision = ByStepping(s, {{1, "tA1,A1"}, {4, "tB1"}});
      break;
    case 12:
      n = {"", "Dothan", "", "0.09 µm"};
      break;
    case 13:
      n = {"", s == 8 && l2 == 4096 ? "Yonah" : "Dothan", "", "0.09 µm"};
      break;
    case 14:
      n = {"", s == 8 || s == 12 ? "Yonah" : "Dothan", "", "65 nm"};
      break;
    case 15:
    case 22:
      n.technology = "65 nm";
      if (xeon)
        n.code = "Woodcrest";
      else if (l2 <= 512)
        n.code = "Conroe";
      else if (l2 <= 1024)
        n.code = "Merom";
      break;
    case 23:
      n.technology = "45 nm";
      if (xeon) {
        if (in.corePerPackage != 4)
          n.code = "Wolfdale";
        else
          n.code = in.marketingName.find("X33") != std::string::npos ? "Yorkfield" : "Harpertown";
      } else {
        if (in.corePerPackage == 4)
          n.code = "Yorkfield";
        else if (l2 <= 1024)
          n.code = "Penryn";
      }
      break;
  }
  return n;
}

// The Pentium 4 name rule of families 15 and 16.
std::string NetBurstName(const ModelInputs& in) {
  const TIntelBrands b = in.intelBrand;
  std::string name = (b & ibCeleron) ? "Celeron 4" : "Pentium 4";
  if (b & ibMobile) name += " Mobile";
  if (b & ibM) name += " M";
  if ((b & ibXeon) || in.physicalCount >= 2) name += " Xeon";
  if (b & ibMP) name += " MP";
  if (in.l2KB < 129) name = "Celeron";
  if (in.l2KB == 256 && (b & ~(ibDuoCore | ibP4)) == 0) name = "Celeron D";
  return name;
}

}  // namespace

ModelNames IntelModel(const ModelInputs& in) {
  const TIntelBrands b = in.intelBrand;
  switch (in.family) {
    case 4:
      return Family4(in);
    case 5:
      return Family5(in);
    case 6:
      return Family6(in);
    case 7:
      return {"Itanium", "Merced", "", "0.18 µm"};
    case 16: {
      ModelNames n{NetBurstName(in), "", "", ""};
      if (in.Feature(1, 30) || in.architecture == 9) n.name = "64bit " + n.name;
      return n;
    }
    case 15:
      break;
    default:
      return {};
  }
  ModelNames n{NetBurstName(in), "", "", ""};
  const int s = in.stepping;
  if (in.familyEx == 1) {
    n = {"Itanium 2", "", "", "0.13 µm"};
    if (in.model == 0) n = {"Itanium 2", "McKinley", "", "0.18 µm"};
    if (in.model == 1) n.code = "Madison/Deerfield";
    if (in.model == 2) n.code = "Madison 9M";
    return n;
  }
  if (in.familyEx != 0) return n;
  switch (in.model) {
    case 0:
    case 1:
      n.code = (b & ibXeon) ? ((b & ibMP) ? "Foster MP" : "Foster") : "P68, Willamette";
      n.technology = "0.18 µm";
      n.revision = ByStepping(s, {{2, "D0"}, {3, "E0"}, {7, "B2"}, {10, "C1"}});
      break;
    case 2:
      n.code = "Northwood";
      if (b & ibXeon) n.code = "Prestonia";
      if (b & ibMP) n.code = "Gallatin";
      n.technology = "0.13 µm";
      n.revision = ByStepping(s, {{4, "B0"}, {5, "M0"}, {7, "C1"}, {9, "D1"}});
      break;
    case 3:
    case 4:
      n.code = "Prescott";
      if (b & ibXeon) n.code = "Nocona";
      if (b & ibMP) n.code = "Potomac";
      n.technology = "90 nm";
      if (in.model == 4) {
        if (b & ibCeleron) n.name = in.l2KB == 256 ? "Celeron D" : "Celeron";
        if (s == 1 && (b & ibXeon) && (b & ibMP)) {
          n.name = "Pentium 4";
          n.code = "Cranford";
        }
        if (s == 4 || s == 7) {
          n.name = "Pentium D";
          n.code = "Smithfield";
        }
        if (s == 3) {
          n.name = "Pentium 4 DP";
          n.code = "Irwindale";
        }
      }
      break;
    case 6:
      n.name = "Pentium D";
      n.code = "Presler";
      n.technology = "90 nm";
      break;
  }
  return n;
}

}  // namespace tavrin::collectors
