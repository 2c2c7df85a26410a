#include "platform/smbios_entry_point.h"

#include <gtest/gtest.h>

#include "tests/collectors/firmware/smbios_builder.h"

namespace tavrin::platform {
namespace {

namespace tb = tavrin::testing::smbios;

TEST(SmbiosEntryPoint, Reads32BitFields) {
  const auto ep = ParseEntryPointAt(tb::EntryPoint2(2, 7, 0x000E1000, 0x0ABC, 42), 0);
  ASSERT_TRUE(ep);
  EXPECT_EQ(ep->kind, EntryPointKind::Smbios2);
  EXPECT_EQ(ep->VersionText(), "2.7");
  EXPECT_EQ(ep->tableAddress, 0x000E1000u);
  EXPECT_EQ(ep->tableLength, 0x0ABCu);
  EXPECT_EQ(ep->structureCount, 42);
}

TEST(SmbiosEntryPoint, Reads64BitFields) {
  const auto ep = ParseEntryPointAt(tb::EntryPoint3(3, 3, 0x1'2345'6780ull, 0x2000), 0);
  ASSERT_TRUE(ep);
  EXPECT_EQ(ep->kind, EntryPointKind::Smbios3);
  EXPECT_EQ(ep->VersionText(), "3.3");
  EXPECT_EQ(ep->tableAddress, 0x1'2345'6780ull);
  EXPECT_EQ(ep->tableLength, 0x2000u);
  EXPECT_EQ(ep->structureCount, 0xFFFF);  // 3.x does not count its structures
}

TEST(SmbiosEntryPoint, RefusesBadChecksums) {
  auto bad_total = tb::EntryPoint2(2, 3, 0x20, 100, 3);
  bad_total[0x08] ^= 1;  // outside the "_DMI_" part: only the whole-structure sum breaks
  EXPECT_FALSE(ParseEntryPointAt(bad_total, 0));
  EXPECT_FALSE(FindEntryPoint(bad_total)) << "its _DMI_ part must not pass as a lone entry point";

  auto bad_intermediate = tb::EntryPoint2(2, 3, 0x20, 100, 3);
  bad_intermediate[0x16] ^= 1;
  EXPECT_FALSE(ParseEntryPointAt(bad_intermediate, 0));

  auto bad64 = tb::EntryPoint3(3, 0, 0x20, 100);
  bad64[0x0C] ^= 1;
  EXPECT_FALSE(ParseEntryPointAt(bad64, 0));
  EXPECT_FALSE(ParseEntryPointAt(bad64.substr(0, 0x10), 0)) << "truncated";
}

TEST(SmbiosEntryPoint, SearchFindsAnyPositionAndPrefers64Bit) {
  std::string area(0x300, '\xAA');
  area.replace(0x101, 0x1F, tb::EntryPoint2(2, 8, 0x1000, 10, 1));  // not 16-byte aligned
  auto ep = FindEntryPoint(area);
  ASSERT_TRUE(ep);
  EXPECT_EQ(ep->position, 0x101u);
  area.replace(0x200, 0x18, tb::EntryPoint3(3, 1, 0x2000, 10));
  ep = FindEntryPoint(area);
  ASSERT_TRUE(ep);
  EXPECT_EQ(ep->kind, EntryPointKind::Smbios3);
  EXPECT_EQ(ep->position, 0x200u);
}

TEST(SmbiosEntryPoint, AcceptsALoneLegacyDmiStructure) {
  // Only the "_DMI_" part of a 2.x entry point: DMI 2.0 firmware published it alone.
  const auto full = tb::EntryPoint2(2, 0, 0xF1234, 0x300, 12);
  std::string area(0x40, '\0');
  area.replace(0x20, 0x0F, full.substr(0x10, 0x0F));
  const auto ep = FindEntryPoint(area);
  ASSERT_TRUE(ep);
  EXPECT_EQ(ep->kind, EntryPointKind::LegacyDmi);
  EXPECT_EQ(ep->tableAddress, 0xF1234u);
  EXPECT_EQ(ep->tableLength, 0x300u);
  EXPECT_EQ(ep->structureCount, 12);
  EXPECT_EQ(ep->VersionText(), "2.0");
}

}  // namespace
}  // namespace tavrin::platform
