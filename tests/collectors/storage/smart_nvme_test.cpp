// S.M.A.R.T. data and threshold sectors and the NVMe health log, decoded from images built by
// hand (sector_builder.h) after the ATA/ACS-3 SMART READ DATA frame and the NVM Express 2.0
// log page 02h layout.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "collectors/storage/ata_smart.h"
#include "collectors/storage/nvme_log.h"
#include "collectors/storage/smart_attribute_names.h"
#include "tests/collectors/storage/sector_builder.h"

namespace tavrin::collectors {
namespace {

using testing::PutAttribute;
using testing::PutThreshold;
using testing::Sector;

// A drive with a reallocated-sector count at its threshold (pre-fail), power-on hours, a
// worn-out advisory attribute and a temperature of 36 °C.
Sector SmartDataSector() {
  Sector s;
  s.Le(0, 0x0010, 2);
  PutAttribute(s, 0, 5, 0x0033, 36, 36, 0x0000000004D2);     // 1234 sectors reallocated
  PutAttribute(s, 1, 9, 0x0032, 88, 88, 0x000100002A30);     // 10800 h (+ vendor bits above)
  PutAttribute(s, 3, 194, 0x0022, 114, 98, 0x002D00140024);  // 36 °C, min 20, max 45
  PutAttribute(s, 4, 202, 0x0032, 1, 1, 0);                  // vendor-specific, old age
  PutAttribute(s, 5, 1, 0x000F, 200, 200, 0);
  s.Checksum();
  return s;
}

Sector ThresholdSector() {
  Sector s;
  s.Le(0, 0x0010, 2);
  PutThreshold(s, 0, 5, 36);
  PutThreshold(s, 1, 9, 0);
  PutThreshold(s, 2, 194, 0);
  PutThreshold(s, 3, 202, 10);
  PutThreshold(s, 4, 1, 51);
  s.Checksum();
  return s;
}

TEST(SmartData, AttributeTableAndDerivedValues) {
  auto data = DecodeSmartData(SmartDataSector().bytes());
  ASSERT_TRUE(data);
  EXPECT_EQ(data->revision, 0x10);
  EXPECT_TRUE(data->checksumValid);
  ASSERT_EQ(data->attributes.size(), 5u);  // the empty slot 2 is skipped, order kept
  EXPECT_EQ(data->attributes[0].id, 5);
  EXPECT_TRUE(data->attributes[0].prefail());
  EXPECT_EQ(data->attributes[0].raw, 1234u);
  EXPECT_EQ(data->attributes[2].id, 194);
  EXPECT_EQ(data->attributes[2].current, 114);
  EXPECT_EQ(data->attributes[2].worst, 98);
  EXPECT_EQ(data->temperature, 36);  // the lowest raw byte only
  EXPECT_EQ(data->powerOnHours, 10800u);
  EXPECT_EQ(SmartAttributeName(5), "Reallocated Sectors Count");
  EXPECT_EQ(SmartAttributeName(202), "");

  Sector broken = SmartDataSector();
  broken.Byte(100, broken.bytes()[100] + 1);
  EXPECT_FALSE(DecodeSmartData(broken.bytes())->checksumValid);
}

TEST(SmartData, ThresholdsDecideTheStatus) {
  auto data = DecodeSmartData(SmartDataSector().bytes());
  ASSERT_TRUE(data);
  for (const auto& a : data->attributes) EXPECT_EQ(a.status, SmartStatus::kNoThreshold);
  ApplySmartThresholds(*data, ThresholdSector().bytes());
  const auto& a = data->attributes;
  EXPECT_EQ(a[0].threshold, 36);
  EXPECT_EQ(a[0].status, SmartStatus::kPrefailFailing);  // current 36 at threshold 36
  EXPECT_EQ(a[1].status, SmartStatus::kPassed);          // threshold 0: never fails
  EXPECT_EQ(a[2].status, SmartStatus::kPassed);
  EXPECT_EQ(a[3].status, SmartStatus::kOldAgeFailing);  // advisory, 1 below 10
  EXPECT_EQ(a[4].status, SmartStatus::kPassed);         // 200 above 51
  // A short threshold answer changes nothing.
  auto again = DecodeSmartData(SmartDataSector().bytes());
  ApplySmartThresholds(*again, std::vector<uint8_t>(100, 0));
  EXPECT_FALSE(again->attributes[0].threshold);
}

TEST(SmartData, NoDataAnswers) {
  EXPECT_FALSE(DecodeSmartData(Sector(512, 0xFF).bytes()));
  EXPECT_FALSE(DecodeSmartData(Sector(512, 0).bytes()));
  EXPECT_FALSE(DecodeSmartData(std::vector<uint8_t>(511, 1)));
  auto data = DecodeSmartData(SmartDataSector().bytes());
  ApplySmartThresholds(*data, Sector(512, 0xFF).bytes());  // no entry has id 0xFF's thresholds
  EXPECT_EQ(data->attributes[0].status, SmartStatus::kNoThreshold);
}

TEST(SmartData, NameTableSortedAndUnique) {
  int last = 0;
  for (const auto& row : kSmartAttributeNames) {
    EXPECT_GT(row.id, last) << int(row.id);
    EXPECT_FALSE(row.name.empty());
    last = row.id;
  }
}

// A health log as a worn, warm NVMe drive would answer it.
Sector HealthLog() {
  Sector s(512);
  s.Byte(0, 0x04)     // reliability degraded
      .Le(1, 310, 2)  // 310 K = 37 °C
      .Byte(3, 98)
      .Byte(4, 10)
      .Byte(5, 3)
      .Le(32, 25000000, 16)  // 25,000,000 units read
      .Le(48, 12345678, 16)
      .Le(112, 1500, 16)
      .Le(128, 8760, 16)
      .Le(144, 42, 16)
      .Le(160, 0, 16)
      .Le(176, 7, 16);
  return s;
}

TEST(NvmeHealthLog, Fields) {
  auto h = DecodeNvmeHealthLog(HealthLog().bytes());
  ASSERT_TRUE(h);
  EXPECT_EQ(h->criticalWarning, 0x04);
  EXPECT_EQ(h->temperatureCelsius, 37);
  EXPECT_EQ(h->availableSpare, 98);
  EXPECT_EQ(h->availableSpareThreshold, 10);
  EXPECT_EQ(h->percentageUsed, 3);
  EXPECT_EQ(h->dataUnitsRead, 25000000u);
  EXPECT_EQ(NvmeHealth::UnitsToBytes(h->dataUnitsRead), 12800000000000u);  // 12.8 TB
  EXPECT_EQ(h->dataUnitsWritten, 12345678u);
  EXPECT_EQ(h->powerCycles, 1500u);
  EXPECT_EQ(h->powerOnHours, 8760u);
  EXPECT_EQ(h->unsafeShutdowns, 42u);
  EXPECT_EQ(h->mediaErrors, 0u);
  EXPECT_EQ(h->errorLogEntries, 7u);
}

TEST(NvmeHealthLog, CountersPastSixtyFourBitsSaturate) {
  Sector s = HealthLog();
  s.Byte(32 + 8, 1);  // bit 64 of data units read
  auto h = DecodeNvmeHealthLog(s.bytes());
  ASSERT_TRUE(h);
  EXPECT_EQ(h->dataUnitsRead, std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(NvmeHealth::UnitsToBytes(h->dataUnitsRead), std::numeric_limits<uint64_t>::max());
  EXPECT_FALSE(DecodeNvmeHealthLog(Sector(512, 0xFF).bytes()));
  EXPECT_FALSE(DecodeNvmeHealthLog(std::vector<uint8_t>(511, 0)));
}

TEST(NvmeIdentifyController, TextsAndCapacity) {
  Sector s(4096);
  s.Text(4, 20, "S4EWNX0R123456").Text(24, 40, "Samsung SSD 980 PRO 1TB").Text(64, 8, "5B2QGXA7");
  s.Le(80, 0x00010400, 4).Le(266, 355, 2).Le(268, 358, 2).Le(280, 1000204886016, 16).Le(516, 1, 4);
  auto c = DecodeNvmeIdentifyController(s.bytes());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->serial, "S4EWNX0R123456");
  EXPECT_EQ(c->model, "Samsung SSD 980 PRO 1TB");
  EXPECT_EQ(c->firmware, "5B2QGXA7");
  EXPECT_EQ(c->version, 0x00010400u);
  EXPECT_EQ(c->totalCapacity, 1000204886016u);
  EXPECT_EQ(c->namespaces, 1u);
  s.Byte(30, 0x1B);  // an escape character in the model
  EXPECT_FALSE(DecodeNvmeIdentifyController(s.bytes()));
  EXPECT_FALSE(DecodeNvmeIdentifyController(Sector(4096, 0xFF).bytes()));
  EXPECT_FALSE(DecodeNvmeIdentifyController(Sector(512, 0).bytes()));
}

}  // namespace
}  // namespace tavrin::collectors
