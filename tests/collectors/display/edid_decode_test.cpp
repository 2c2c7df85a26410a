// The identification block decoder on hand-made blocks: integrity problems first, then the
// fields whose encodings have special values.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "collectors/display/edid_decode.h"
#include "collectors/display/edid_tables.h"

namespace tavrin::collectors::edid {
namespace {

using Block = std::array<uint8_t, 128>;

void PutText(Block& b, int descriptor, uint8_t tag, const std::string& text) {
  uint8_t* d = b.data() + 0x36 + 18 * descriptor;
  std::fill(d, d + 18, 0);
  d[3] = tag;
  for (std::size_t i = 0; i < 13; ++i) d[5 + i] = i < text.size() ? text[i] : ' ';
  if (text.size() < 13) d[5 + text.size()] = 0x0A;
}

void FixChecksum(Block& b) {
  uint8_t sum = 0;
  for (int i = 0; i < 127; ++i) sum = static_cast<uint8_t>(sum + b[i]);
  b[127] = static_cast<uint8_t>(0x100 - sum);
}

// A digital EDID 1.4 block of "DEL" 0xA04A, serial 0x12345678, week 12 of 2017, 53 x 30 cm,
// 1920x1080 at 60 Hz preferred, one name descriptor.
Block MakeBlock() {
  Block b{};
  const uint8_t head[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10,
                          0xAC, 0x4A, 0xA0, 0x78, 0x56, 0x34, 0x12, 12,   27,
                          1,    4,    0xA5, 53,   30,   120,  0x3A};
  std::copy(std::begin(head), std::end(head), b.begin());
  for (int i = 0x26; i < 0x36; ++i) b[i] = 0x01;  // no standard timings
  const uint8_t dtd[18] = {0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58,
                           0x2C, 0x45, 0x00, 0x09, 0x25, 0x21, 0x00, 0x00, 0x1E};
  std::copy(std::begin(dtd), std::end(dtd), b.begin() + 0x36);
  PutText(b, 1, 0xFC, "DELL P2417H");
  PutText(b, 2, 0x10, "");
  PutText(b, 3, 0x10, "");
  FixChecksum(b);
  return b;
}

std::string Bytes(const Block& b) {
  return std::string(b.begin(), b.end());
}

TEST(EdidDecode, AGoodBlockDecodesItsIdentification) {
  const Edid e = DecodeEdid(Bytes(MakeBlock()));
  EXPECT_TRUE(e.headerOk);
  EXPECT_TRUE(e.baseChecksumOk);
  EXPECT_EQ(e.manufacturerId, "DEL");
  EXPECT_EQ(e.manufacturerCode, 0xAC10);  // the raw word, little-endian
  EXPECT_EQ(e.productCode, 0xA04A);
  EXPECT_EQ(e.serialNumber, 0x12345678u);
  EXPECT_EQ(e.week, 12);
  EXPECT_EQ(e.year, 2017);
  EXPECT_FALSE(e.modelYear);
  EXPECT_TRUE(e.digital);
  EXPECT_EQ(e.bitsPerColor, 8);
  EXPECT_EQ(e.interface, DigitalInterface::kDisplayPort);
  EXPECT_EQ(e.widthCm, 53);
  EXPECT_EQ(e.heightCm, 30);
  ASSERT_TRUE(e.gamma);
  EXPECT_DOUBLE_EQ(*e.gamma, 2.2);
  EXPECT_EQ(e.name, "DELL P2417H");
  ASSERT_TRUE(e.preferred);
  EXPECT_EQ(e.preferred->width, 1920);
  EXPECT_EQ(e.preferred->height, 1080);
  EXPECT_NEAR(e.preferred->refreshHz, 60.0, 1e-9);
  EXPECT_EQ(e.preferred->imageWidthMm, 521);
  EXPECT_TRUE(e.standard.empty());
}

TEST(EdidDecode, IntegrityProblemsAreReportedNotHidden) {
  {  // bad checksum: decoded, but marked, with what the sum should have been
    Block b = MakeBlock();
    const uint8_t good = b[127];
    b[127] = static_cast<uint8_t>(good + 1);
    const Edid e = DecodeEdid(Bytes(b));
    EXPECT_FALSE(e.baseChecksumOk);
    EXPECT_EQ(e.checksum, static_cast<uint8_t>(good + 1));
    EXPECT_EQ(e.expectedChecksum, good);
    EXPECT_EQ(e.manufacturerId, "DEL");
  }
  {  // shorter than a block: the identification bytes present decode, nothing beyond them
    const Block b = MakeBlock();
    const Edid e = DecodeEdid(std::string(b.begin(), b.begin() + 20));
    EXPECT_TRUE(e.truncated());
    EXPECT_FALSE(e.baseChecksumOk);
    EXPECT_EQ(e.manufacturerId, "DEL");
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.widthCm, 0);
    EXPECT_FALSE(e.preferred);
    EXPECT_TRUE(DecodeEdid(std::string()).truncated());
    EXPECT_FALSE(DecodeEdid(std::string(5, '\0')).headerOk);
  }
  {  // three extensions announced, one present: only the present one is decoded
    Block b = MakeBlock();
    b[126] = 3;
    FixChecksum(b);
    Block x{};
    x[0] = 0x02;
    x[1] = 3;
    FixChecksum(x);
    const Edid e = DecodeEdid(Bytes(b) + Bytes(x));
    EXPECT_EQ(e.extensionCount, 3);
    ASSERT_EQ(e.extensions.size(), 1u);
    EXPECT_TRUE(e.extensions[0].checksumOk);
    EXPECT_TRUE(e.extensions[0].cta.has_value());
    EXPECT_EQ(e.extraBlocks, 0u);
  }
  {  // a copy of the base block beyond a zero count is ignored, as drivers often return one
    const Block b = MakeBlock();
    const Edid e = DecodeEdid(Bytes(b) + Bytes(b));
    EXPECT_TRUE(e.extensions.empty());
    EXPECT_EQ(e.extraBlocks, 1u);
  }
  EXPECT_TRUE(LooksLikeEdid(Bytes(MakeBlock())));
  EXPECT_FALSE(LooksLikeEdid(Bytes(MakeBlock()).substr(0, 100)));
}

TEST(EdidDecode, SpecialFieldValues) {
  {  // analog input, model year, all-zero serial, gamma from byte 23 = 120, year 17 -> 2007
    Block b = MakeBlock();
    b[0x14] = 0x0E;  // analog, separate and composite sync, sync on green
    b[12] = b[13] = b[14] = b[15] = 0;
    b[16] = 0xFF;
    b[17] = 17;
    FixChecksum(b);
    const Edid e = DecodeEdid(Bytes(b));
    EXPECT_FALSE(e.digital);
    EXPECT_TRUE(e.analogSeparateSync);
    EXPECT_TRUE(e.analogSyncOnGreen);
    EXPECT_EQ(e.bitsPerColor, 0);
    EXPECT_TRUE(e.modelYear);
    EXPECT_EQ(e.year, 2007);
    EXPECT_EQ(e.serialNumber, 0u);
  }
  {  // two name descriptors, one filling all 13 bytes with no line feed, join without separator
    Block b = MakeBlock();
    PutText(b, 1, 0xFC, "ABC");
    PutText(b, 2, 0xFC, "DEF");
    PutText(b, 3, 0xFF, "SN0123456789X");
    FixChecksum(b);
    const Edid e = DecodeEdid(Bytes(b));
    EXPECT_EQ(e.name, "ABCDEF");
    EXPECT_EQ(e.serialText, "SN0123456789X");
  }
  {  // EDID 1.4 sizes: one of them zero gives an aspect ratio, both zero a variable size
    Block b = MakeBlock();
    b[0x15] = 79;  // landscape 1.78
    b[0x16] = 0;
    b[0x17] = 0xFF;  // gamma in an extension
    FixChecksum(b);
    Edid e = DecodeEdid(Bytes(b));
    ASSERT_TRUE(e.aspectRatio);
    EXPECT_NEAR(*e.aspectRatio, 1.78, 1e-9);
    EXPECT_EQ(e.widthCm, 0);
    EXPECT_FALSE(e.gamma);
    b[0x15] = 0;
    FixChecksum(b);
    e = DecodeEdid(Bytes(b));
    EXPECT_FALSE(e.aspectRatio);
  }
  {  // a control character inside a text is not passed on
    Block b = MakeBlock();
    PutText(b, 1, 0xFC,
            std::string("A\x01"
                        "B"));
    FixChecksum(b);
    EXPECT_EQ(DecodeEdid(Bytes(b)).name, "A?B");
  }
}

TEST(EdidDecode, TimingsOfTheBaseBlock) {
  Block b = MakeBlock();
  b[0x23] = 0x21;  // 640x480@60, 800x600@60
  b[0x24] = 0x10;  // 1024x768@87 interlaced
  b[0x26] = 0xD1;  // 1920 wide, 16:9, 60 Hz
  b[0x27] = 0xC0;
  b[0x28] = 0x81;  // 1280 wide, 16:10 (EDID 1.3+), 60 + 15 Hz
  b[0x29] = 0x0F;
  FixChecksum(b);
  const Edid e = DecodeEdid(Bytes(b));
  ASSERT_EQ(e.established.size(), 3u);
  EXPECT_EQ(e.established[0].width, 640);
  EXPECT_EQ(e.established[1].width, 800);
  EXPECT_TRUE(e.established[2].interlaced);
  ASSERT_EQ(e.standard.size(), 2u);
  EXPECT_EQ(e.standard[0].height, 1080);
  EXPECT_EQ(e.standard[1].height, 800);
  EXPECT_EQ(e.standard[1].refreshHz, 75);
}

TEST(EdidDecode, CtaExtensionModesAudioAndSpeakers) {
  Block x{};
  const uint8_t head[] = {0x02, 0x03, 0x00, 0xF1,
                          // video: VIC 16 native, VIC 4, VIC 5
                          0x43, 0x90, 0x04, 0x05,
                          // audio: linear PCM, 2 channels, 48/44.1/32 kHz, 24/20/16 bit
                          0x23, 0x09, 0x07, 0x07,
                          // speakers: FL/FR
                          0x83, 0x01, 0x00, 0x00,
                          // HDMI vendor block
                          0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};
  std::copy(std::begin(head), std::end(head), x.begin());
  x[2] = sizeof head;
  const uint8_t dtd[18] = {0x01, 0x1D, 0x00, 0x72, 0x51, 0xD0, 0x1E, 0x20, 0x6E,
                           0x28, 0x55, 0x00, 0x09, 0x25, 0x21, 0x00, 0x00, 0x1E};
  std::copy(std::begin(dtd), std::end(dtd), x.begin() + sizeof head);
  FixChecksum(x);
  const CtaBlock cta = DecodeCtaBlock(x);
  EXPECT_FALSE(cta.malformed);
  EXPECT_TRUE(cta.basicAudio);
  EXPECT_EQ(cta.nativeDetailedCount, 1);
  ASSERT_EQ(cta.videoCodes.size(), 3u);
  EXPECT_EQ(cta.videoCodes[0].vic, 16);
  EXPECT_TRUE(cta.videoCodes[0].native);
  EXPECT_TRUE(cta.videoCodes[0].preferred);
  EXPECT_EQ(cta.videoCodes[0].width, 1920);
  EXPECT_TRUE(cta.videoCodes[2].interlaced);
  ASSERT_EQ(cta.audio.size(), 1u);
  EXPECT_EQ(cta.audio[0].maxChannels, 2);
  EXPECT_EQ(cta.audio[0].sampleRatesHz, (std::vector<uint32_t>{32000, 44100, 48000}));
  EXPECT_EQ(cta.audio[0].sampleSizesBits, (std::vector<uint8_t>{16, 20, 24}));
  EXPECT_EQ(cta.speakerAllocation, 1u);
  EXPECT_TRUE(cta.hdmi);
  ASSERT_EQ(cta.detailed.size(), 1u);
  EXPECT_EQ(cta.detailed[0].width, 1280);
  EXPECT_TRUE(cta.detailed[0].native);

  // A data block longer than the data area is reported, and the decoder stops there.
  x[4] = 0x5F;
  EXPECT_TRUE(DecodeCtaBlock(x).malformed);
}

TEST(EdidTables, VideoCodesAreSortedAndUnique) {
  const auto codes = VideoCodes();
  for (std::size_t i = 1; i < codes.size(); ++i) EXPECT_LT(codes[i - 1].vic, codes[i].vic);
  EXPECT_EQ(FindVideoCode(0), nullptr);
  EXPECT_EQ(FindVideoCode(150), nullptr);
  ASSERT_NE(FindVideoCode(97), nullptr);
  EXPECT_EQ(FindVideoCode(97)->width, 3840);
  EXPECT_EQ(EstablishedTimings().size(), 17u);
}

}  // namespace
}  // namespace tavrin::collectors::edid
