// IDENTIFY DEVICE decoding over sector images built by hand (tests/collectors/storage/
// sector_builder.h) after the ATA/ACS-3 field layout.
#include "collectors/storage/ata_identify.h"

#include <gtest/gtest.h>

#include <set>

#include "collectors/storage/ata_tables.h"
#include "tests/collectors/storage/sector_builder.h"

namespace tavrin::collectors {
namespace {

using testing::SampleIdentify;
using testing::Sector;

AtaIdentity Decode(const Sector& s) {
  auto id = DecodeAtaIdentify(s.bytes());
  EXPECT_TRUE(id.has_value());
  return id.value_or(AtaIdentity{});
}

TEST(AtaIdentify, TextsAreByteSwappedAndTrimmed) {
  const AtaIdentity id = Decode(SampleIdentify());
  EXPECT_EQ(id.model, "WDC WD10EZEX-00BN5A0");
  EXPECT_EQ(id.revision, "01.01A01");
  EXPECT_EQ(id.serial, "WD-WCC4E1234567");
  EXPECT_TRUE(id.modelPrintable);
  // An odd-length text keeps its last character in the high byte of the last word.
  Sector odd = SampleIdentify();
  odd.AtaText(27, 20, "ABC");
  EXPECT_EQ(Decode(odd).model, "ABC");
}

TEST(AtaIdentify, CapacityGeometryAndFeatures) {
  const AtaIdentity id = Decode(SampleIdentify());
  EXPECT_EQ(id.addressableSectors, 0x0FFFFFFFu);
  EXPECT_TRUE(id.lba48Supported);
  EXPECT_EQ(id.lba48Sectors, 1953525168u);
  EXPECT_EQ(AddressableSectorsOf(id), 1953525168u);
  EXPECT_EQ(id.cylinders, 16383u);
  EXPECT_EQ(id.heads, 16u);
  EXPECT_EQ(id.sectorsPerTrack, 63u);
  EXPECT_EQ(id.logicalSectorBytes, 512u);
  EXPECT_EQ(id.physicalSectorBytes, 4096u);
  EXPECT_EQ(id.rotationRate, 7200u);
  EXPECT_TRUE(id.smartSupported);
  EXPECT_TRUE(id.smartEnabled);

  // Without the 48-bit feature set words 100-103 are not read; with word 83 invalid (bit 15
  // set) neither S.M.A.R.T. nor 48-bit addressing counts.
  Sector old = SampleIdentify();
  old.Word(83, 0x8000 | 0x0400 | 0x4000);
  const AtaIdentity o = Decode(old);
  EXPECT_FALSE(o.lba48Supported);
  EXPECT_FALSE(o.smartSupported);
  EXPECT_FALSE(o.smartEnabled);
  EXPECT_EQ(AddressableSectorsOf(o), 0x0FFFFFFFu);
}

TEST(AtaIdentify, VersionFromWord80) {
  // Major version bits: the highest set bit (ACS-3 is bit 10, ACS-4 bit 11).
  EXPECT_EQ(AtaMajorVersion(0x07F0), 10u);
  EXPECT_EQ(AtaStandardName(10), "ACS-3");
  EXPECT_EQ(AtaMajorVersion(0x0FF0), 11u);
  EXPECT_EQ(AtaStandardName(11), "ACS-4");
  EXPECT_EQ(AtaMajorVersion(0x007E), 6u);
  EXPECT_EQ(AtaMajorVersion(0x0000), 0u);
  EXPECT_EQ(AtaMajorVersion(0xFFFF), 0u);  // "not reported"
  // The legacy number: 0x007E gives 6, nothing at all gives 1, and a modern drive's bit 8 and
  // up land in the high-byte table (0x07 -> 2), which is why pages show the major bit.
  EXPECT_EQ(LegacyAtaVersion(0x007E), 6u);
  EXPECT_EQ(LegacyAtaVersion(0x0000), 1u);
  EXPECT_EQ(LegacyAtaVersion(0x07F0), 2u);
  EXPECT_EQ(LegacyAtaVersion(0xFF00), 1u);  // index past the table, no low bits
  EXPECT_EQ(Decode(SampleIdentify()).ataVersion, 2u);
  EXPECT_EQ(Decode(SampleIdentify()).majorVersion, 10u);
}

TEST(AtaIdentify, ChecksumWord255) {
  Sector s = SampleIdentify();
  EXPECT_EQ(Decode(s).checksum, IdentifyChecksum::kAbsent);  // no 0xA5 signature
  s.Checksum(true);
  EXPECT_EQ(Decode(s).checksum, IdentifyChecksum::kValid);
  s.Byte(20, s.bytes()[20] ^ 0x01);  // one flipped bit in the serial number
  EXPECT_EQ(Decode(s).checksum, IdentifyChecksum::kInvalid);
  // The first 256 bytes are enough to decode, but not to check.
  std::vector<uint8_t> half(s.bytes().begin(), s.bytes().begin() + 256);
  auto h = DecodeAtaIdentify(half);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->checksum, IdentifyChecksum::kAbsent);
  EXPECT_FALSE(DecodeAtaIdentify(std::vector<uint8_t>(255, 0)));
}

TEST(AtaIdentify, UnprintableOrGarbageData) {
  // A model with a control character: nothing else of the sector is trusted.
  Sector bad = SampleIdentify();
  bad.Byte(2 * 27 + 1, 0x07);
  AtaIdentity b = Decode(bad);
  EXPECT_FALSE(b.modelPrintable);
  EXPECT_EQ(b.model, "");
  EXPECT_EQ(b.serial, "");
  EXPECT_EQ(b.cylinders, 0u);
  EXPECT_FALSE(b.smartSupported);

  // A serial number with bytes outside letters, digits and punctuation gets "_" for them.
  Sector odd = SampleIdentify();
  odd.AtaText(10, 10,
              "AB\x01"
              "CD\xE9");
  EXPECT_EQ(Decode(odd).serial, "AB_CD_");

  // All 0xFF: what a controller returns when no drive answered.
  const AtaIdentity ff = Decode(Sector(512, 0xFF));
  EXPECT_FALSE(ff.modelPrintable);
  EXPECT_EQ(ff.majorVersion, 0u);
  // All zero: a blank model is printable but there is nothing to show.
  const AtaIdentity zero = Decode(Sector(512, 0));
  EXPECT_EQ(zero.model, "");
  EXPECT_EQ(zero.majorVersion, 0u);
  EXPECT_EQ(zero.ataVersion, 1u);
}

TEST(AtaIdentify, TablesAreConsistent) {
  EXPECT_EQ(kLegacyAtaVersionTable.size(), 35u);
  std::set<int> bits;
  int last = 0;
  for (const AtaStandard& s : kAtaStandards) {
    EXPECT_TRUE(bits.insert(s.majorBit).second) << int(s.majorBit);
    EXPECT_GT(s.majorBit, last);
    last = s.majorBit;
  }
}

}  // namespace
}  // namespace tavrin::collectors
