#include "collectors/firmware/smbios_table.h"

#include <gtest/gtest.h>

#include <random>

#include "collectors/firmware/smbios_decode.h"
#include "tests/collectors/firmware/smbios_builder.h"

namespace tavrin::collectors::smbios {
namespace {

namespace tb = testing::smbios;

std::string SmallTable() {
  return tb::Structure(0, 0, tb::Body(0x12, {{4, 1}, {5, 2}, {8, 3}, {9, 0x0F}}),
                       {"Vendor", "  V1.2  ", "01/02/2003"}) +
         tb::Structure(1, 1, tb::Body(0x08, {{4, 1}}), {"Maker"}) + tb::Structure(200, 2, {0xAA}) +
         tb::EndOfTable(3);
}

TEST(SmbiosWalk, IndexesEveryStructureAndStopsAtEndOfTable) {
  const auto table = SmallTable() + std::string(40, '\x55');  // padding after type 127
  const auto walk = WalkStructures(table);
  EXPECT_EQ(walk.stop, WalkStop::EndOfTable);
  ASSERT_EQ(walk.index.size(), 4u);
  EXPECT_EQ(walk.index[0].name, "BIOS Information");
  EXPECT_EQ(walk.index[1].type, 1);
  EXPECT_EQ(walk.index[1].length, 8);
  EXPECT_EQ(walk.index[2].name, "Unknown");
  EXPECT_EQ(walk.index[2].handle, 2);
  EXPECT_EQ(walk.index[3].name, "End-of-Table");
  EXPECT_EQ(walk.index[1].address, 0x12u + 7 + 9 + 11 + 1);
}

TEST(SmbiosWalk, FindsAndCountsByType) {
  const auto table = SmallTable();
  const auto index = WalkStructures(table).index;
  EXPECT_EQ(FindStructure(index, 1), 1u);
  EXPECT_FALSE(FindStructure(index, 1, 2));
  EXPECT_FALSE(FindStructure(index, 17));
  EXPECT_EQ(CountStructures(index, 0), 1u);
  EXPECT_EQ(StructureTypeName(27), " Cooling Device");
  EXPECT_EQ(StructureTypeName(126), "Inactive");
  EXPECT_EQ(StructureTypeName(40), "Unknown");
}

TEST(SmbiosStrings, LooksUpTrimsAndBounds) {
  const auto table = SmallTable();
  const auto walk = WalkStructures(table);
  const auto& bios = walk.index[0];
  EXPECT_EQ(GetStructureString(table, bios.address, bios.length, 1), "Vendor");
  EXPECT_EQ(GetStructureString(table, bios.address, bios.length, 2), "V1.2");
  EXPECT_EQ(GetStructureString(table, bios.address, bios.length, 0), "");
  EXPECT_EQ(GetStructureString(table, bios.address, bios.length, 4), "") << "past the last";
  EXPECT_EQ(GetStructureString(table, bios.address, bios.length, 255), "");
  // A structure without strings has none, even though the next structure's follow.
  const auto& unknown = walk.index[2];
  EXPECT_EQ(GetStructureString(table, unknown.address, unknown.length, 1), "");
  // Single-byte text becomes UTF-8; a string is cut at 255 bytes.
  const auto latin =
      tb::Structure(1, 0, tb::Body(8, {{4, 1}, {5, 2}}), {"Caf\xE9", std::string(300, 'x')});
  EXPECT_EQ(GetStructureString(latin, 0, 8, 1), "Caf\xC3\xA9");
  EXPECT_EQ(GetStructureString(latin, 0, 8, 2).size(), 255u);
  EXPECT_EQ(GetStructureString(latin, 10'000, 8, 1), "") << "outside the table";
}

// Damaged tables: the walk keeps the complete structures before the damage and nothing after,
// and decoding what is left gives empty values without reading outside the bytes.
struct BadCase {
  const char* name;
  std::string table;
  WalkStop stop;
  std::size_t indexed;
};

std::vector<BadCase> BadCases() {
  const auto bios = tb::Structure(0, 0, tb::Body(0x12, {{4, 1}}), {"Vendor"});
  auto past_end = tb::Structure(1, 1, tb::Body(0x19, {}));
  past_end[1] = static_cast<char>(0xF0);
  auto short_length = tb::Structure(1, 1, tb::Body(0x08, {}));
  short_length[1] = 3;
  std::string unterminated = tb::Structure(1, 1, tb::Body(0x08, {{4, 1}}), {"Maker"});
  unterminated.resize(unterminated.size() - 2);
  const auto loop =
      tb::Structure(2, 7, tb::Body(0x08, {})) + tb::Structure(3, 7, tb::Body(0x09, {}));
  return {
      {"truncated header", bios + std::string("\x01\x1B", 2), WalkStop::ShortHeader, 1},
      {"truncated formatted area", bios + tb::Structure(1, 1, tb::Body(0x1B, {})).substr(0, 12),
       WalkStop::PastEnd, 1},
      {"length past the table", bios + past_end, WalkStop::PastEnd, 1},
      {"length below 4", bios + short_length, WalkStop::LengthTooSmall, 1},
      {"missing string terminator", bios + unterminated, WalkStop::Unterminated, 1},
      {"repeated handles", bios + loop + loop + tb::EndOfTable(9), WalkStop::RepeatedHandle, 2},
      {"empty", "", WalkStop::EndOfData, 0},
  };
}

TEST(SmbiosWalk, StopsSafelyOnDamagedTables) {
  for (const auto& c : BadCases()) {
    SCOPED_TRACE(c.name);
    const auto walk = WalkStructures(c.table);
    EXPECT_EQ(walk.stop, c.stop);
    EXPECT_EQ(walk.index.size(), c.indexed);
    const auto values = DecodeSmbios(c.table, walk.index, {3, 0});
    EXPECT_EQ(values.SystemManufacturer, "");
    EXPECT_EQ(values.MemoryDeviceCount(), 0u);
  }
}

TEST(SmbiosWalk, SurvivesRandomBytes) {
  std::mt19937 random(1234);
  for (int round = 0; round < 20; ++round) {
    std::string table(64 * 1024, '\0');
    for (auto& c : table) c = static_cast<char>(random());
    const auto walk = WalkStructures(table);
    const auto values = DecodeSmbios(table, walk.index, {3, 5});
    for (const auto& entry : walk.index) {
      EXPECT_LE(entry.address + entry.length, table.size());
      for (uint8_t n = 0; n < 4; ++n)
        EXPECT_LE(GetStructureString(table, entry.address, entry.length, n).size(), 2 * 255u);
    }
    (void)values;
  }
}

TEST(SmbiosStructureView, ReadsZeroBeyondTheFormattedArea) {
  // A 2.0-era processor structure of 0x1A bytes: the later fields do not exist.
  const auto table =
      tb::Structure(4, 0, tb::Body(0x1A, {{0x12, 0x42}, {0x16, 0x10}, {0x17, 0x27}}), {"Socket"}) +
      tb::EndOfTable(1);
  const auto walk = WalkStructures(table);
  const StructureView view(table, walk.index[0]);
  EXPECT_EQ(view.Word(0x12), 0x42);
  EXPECT_EQ(view.Word(0x16), 10000);
  EXPECT_EQ(view.Byte(0x20), 0) << "serial number string field is beyond 0x1A";
  EXPECT_EQ(view.String(0x20), "");
  EXPECT_FALSE(view.Has(0x19, 2));
}

}  // namespace
}  // namespace tavrin::collectors::smbios
