#include "collectors/os/os_identification.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

OsVersionInfo Nt(uint32_t major, uint32_t minor, uint8_t type, uint16_t suites = 0,
                 uint16_t arch = 0) {
  OsVersionInfo r;
  r.platformId = 2;
  r.major = major;
  r.minor = minor;
  r.productType = type;
  r.suiteMask = suites;
  r.architecture = arch;
  return r;
}

TEST(OsIdentification, ServerNamesAndEditions) {
  OsVersionInfo r2 = Nt(5, 2, kProductServer, 0x2);
  r2.serverR2 = 1;
  auto id = IdentifyOs(r2, {});
  EXPECT_EQ(id.name, "Windows Server 2003 \"R2\"");
  EXPECT_EQ(id.fullName, "Windows Server 2003 \"R2\" Enterprise Edition");
  EXPECT_EQ(id.version, TOSVersion::os2K3);

  EXPECT_EQ(IdentifyOs(Nt(5, 2, kProductServer, 0x400), {}).edition, "Web Edition");
  // Web edition only when the blade bit stands alone.
  EXPECT_EQ(IdentifyOs(Nt(5, 2, kProductServer, 0x410), {}).edition, "Standard Edition");
  EXPECT_EQ(IdentifyOs(Nt(5, 2, kProductServer, 0x80, kArchitectureIa64), {}).edition,
            "Datacenter Edition for Itanium-based Systems");
  EXPECT_EQ(IdentifyOs(Nt(5, 2, kProductServer, 0, kArchitectureIa64), {}).edition, "");
  EXPECT_EQ(IdentifyOs(Nt(5, 2, kProductServer, 0, kArchitectureAmd64), {}).edition,
            "Standard x64 Edition");
  EXPECT_EQ(IdentifyOs(Nt(5, 0, kProductDomainController, 0x82), {}).edition, "Datacenter Server");

  IdentificationRegistry enterprise;
  enterprise.editionId = "enterprise";
  auto server2008 = IdentifyOs(Nt(6, 0, kProductServer), enterprise);
  EXPECT_EQ(server2008.name, "Windows Server 2008");
  EXPECT_EQ(server2008.edition, "Enterprise");
  // A 6.1 server is not named.
  auto server61 = IdentifyOs(Nt(6, 1, kProductServer), enterprise);
  EXPECT_EQ(server61.version, TOSVersion::osUnknown);
  EXPECT_EQ(server61.name, "");
}

TEST(OsIdentification, WorkstationEditions) {
  IdentificationRegistry ultimate;
  ultimate.editionId = "Ultimate";
  EXPECT_EQ(IdentifyOs(Nt(6, 1, kProductWorkstation), ultimate).fullName, "Windows Seven Ultimate");
  // 64-bit workstations get the name but no edition.
  auto seven64 = IdentifyOs(Nt(6, 1, kProductWorkstation, 0, kArchitectureAmd64), ultimate);
  EXPECT_EQ(seven64.fullName, "Windows Seven");
  IdentificationRegistry odd;
  odd.editionId = "HomeServerPremium";
  EXPECT_EQ(IdentifyOs(Nt(6, 0, kProductWorkstation), odd).fullName, "Windows Vista");

  OsVersionInfo xp = Nt(5, 1, kProductWorkstation, 0x200);
  xp.starter = 1;
  xp.tabletPc = 1;  // starter wins over the other editions
  EXPECT_EQ(IdentifyOs(xp, {}).edition, "Home Starter Edition");
  xp = Nt(5, 1, kProductWorkstation);
  xp.mediaCenter = 1;
  EXPECT_EQ(IdentifyOs(xp, {}).edition, "Professional Media Center Edition");
}

TEST(OsIdentification, NineXEditionsAndFacts) {
  OsVersionInfo r;
  r.platformId = 1;
  r.major = 4;
  r.csd = " C";
  auto osr25 = IdentifyOs(r, {});
  EXPECT_EQ(osr25.fullName, "Windows 95 OSR 2.5");
  EXPECT_FALSE(osr25.is95OSR2);
  r.csd = " B";
  EXPECT_TRUE(IdentifyOs(r, {}).is95OSR2);
  r.minor = 90;
  EXPECT_TRUE(IdentifyOs(r, {}).isME);
  EXPECT_FALSE(IdentifyOs(r, {}).isNT);
  r.major = 5;  // the 95 family names only version 4
  EXPECT_EQ(IdentifyOs(r, {}).version, TOSVersion::osUnknown);
}

TEST(OsIdentification, Nt4EditionAndServicePack6a) {
  OsVersionInfo r = Nt(4, 0, 0);
  r.csd = "service pack 6";
  IdentificationRegistry reg;
  reg.productOptionsType = "lanmannt";
  reg.q246009Installed = true;
  auto id = IdentifyOs(r, reg);
  EXPECT_EQ(id.fullName, "Windows NT 4 Server");
  EXPECT_EQ(id.record.csd, "Service Pack 6a");
  EXPECT_TRUE(id.isNT4);
  EXPECT_FALSE(id.laterThanNT4);
  reg.q246009Installed = false;
  EXPECT_EQ(IdentifyOs(r, reg).record.csd, "service pack 6");
}

TEST(OsIdentification, ProductTypeAndSuites) {
  EXPECT_EQ(ProductTypeOf(kProductDomainController, 4, 0), TNtProductType::ptAdvancedServer);
  EXPECT_EQ(ProductTypeOf(kProductDomainController, 5, 0), TNtProductType::ptServer);
  // The last suite that applies wins.
  EXPECT_EQ(ProductTypeOf(kProductServer, 5, 0x2 | 0x80 | 0x400), TNtProductType::ptWeb);
  EXPECT_EQ(ProductTypeOf(kProductServer, 5, 0x2 | 0x80), TNtProductType::ptDataCenter);
  const TNTSuites s = SuitesOf(0x0211);
  EXPECT_TRUE(s.Has(TNTSuite::suSmallBusiness));
  EXPECT_TRUE(s.Has(TNTSuite::suTerminal));
  EXPECT_TRUE(s.Has(TNTSuite::suPersonal));
  EXPECT_FALSE(s.Has(TNTSuite::suEnterprise));
  EXPECT_EQ(SuitesOf(0xF000).bits, 0) << "bits past the twelve suites are not suites";
}

}  // namespace
}  // namespace tavrin::collectors
