// The Windows storage structures and the SCSI data the storage collector decodes, from images
// built here byte by byte after the public layouts (DISK_GEOMETRY, DRIVE_LAYOUT_INFORMATION,
// VOLUME_DISK_EXTENTS, SCSI_ADDRESS, GET_MEDIA_TYPES, STORAGE_DEVICE_DESCRIPTOR,
// GETVERSIONINPARAMS, SENDCMDIN/OUTPARAMS, SRB_IO_CONTROL, SCSI_PASS_THROUGH; SPC-4 standard
// INQUIRY data; the MMC-3 capabilities mode page), and what short or damaged answers give.
#include <gtest/gtest.h>

#include "collectors/storage/scsi_data.h"
#include "collectors/storage/windows_storage_structs.h"
#include "tests/collectors/storage/sector_builder.h"

namespace tavrin::collectors {
namespace {

using testing::Sector;

std::span<const uint8_t> Of(const Sector& s) {
  return s.bytes();
}

TEST(WindowsStructs, GeometryLayoutAndExtents) {
  Sector g(24);
  g.Le(0, 121601, 8).Le(8, 12, 4).Le(12, 255, 4).Le(16, 63, 4).Le(20, 512, 4);
  const auto geometry = DecodeDiskGeometry(Of(g));
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->Cylinders, 121601);
  EXPECT_EQ(geometry->MediaType, 12u);
  EXPECT_EQ(geometry->TracksPerCylinder, 255u);
  EXPECT_EQ(geometry->SectorsPerTrack, 63u);
  EXPECT_EQ(geometry->BytesPerSector, 512u);
  EXPECT_FALSE(DecodeDiskGeometry(Of(Sector(23))));

  // Two entries and a third the count names but the buffer cuts off.
  Sector layout(8 + 2 * 32 + 10);
  layout.Le(0, 3, 4).Le(4, 0xDEADBEEF, 4);
  layout.Le(8, 1048576, 8).Le(16, 104857600, 8).Le(24, 2048, 4).Le(28, 1, 4);
  layout.Byte(32, 0x07).Byte(33, 1).Byte(34, 1).Byte(35, 0);
  layout.Le(40, 0, 8).Le(48, 0, 8).Le(60, 0, 4).Byte(64, 0x00).Byte(66, 0);
  const auto entries = DecodeDriveLayout(Of(layout));
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0].startingOffset, 1048576);
  EXPECT_EQ((*entries)[0].length, 104857600);
  EXPECT_EQ((*entries)[0].hiddenSectors, 2048u);
  EXPECT_EQ((*entries)[0].number, 1u);
  EXPECT_EQ((*entries)[0].type, 0x07);
  EXPECT_TRUE((*entries)[0].bootIndicator);
  EXPECT_TRUE((*entries)[0].recognized);
  EXPECT_FALSE((*entries)[1].recognized);
  EXPECT_FALSE(DecodeDriveLayout(Of(Sector(7))));
  EXPECT_TRUE(DecodeDriveLayout(Of(Sector(8)))->empty());

  Sector extents(8 + 24);
  extents.Le(0, 1, 4).Le(8, 2, 4).Le(16, 1048576, 8).Le(24, 104857600, 8);
  const auto e = DecodeVolumeDiskExtents(Of(extents));
  ASSERT_TRUE(e);
  ASSERT_EQ(e->size(), 1u);
  EXPECT_EQ((*e)[0].DiskNumber, 2u);
  EXPECT_EQ((*e)[0].StartingOffset, 1048576);
  EXPECT_EQ((*e)[0].ExtentLength, 104857600);
  // A count far beyond the buffer reads only what is there.
  extents.Le(0, 0xFFFFFFFF, 4);
  EXPECT_EQ(DecodeVolumeDiskExtents(Of(extents))->size(), 1u);
}

TEST(WindowsStructs, AddressMediaTypesAndDescriptor) {
  Sector address(8);
  address.Le(0, 8, 4).Byte(4, 3).Byte(5, 0).Byte(6, 1).Byte(7, 0);
  const auto a = DecodeScsiAddress(Of(address));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->portNumber, 3);
  EXPECT_EQ(a->targetId, 1);
  EXPECT_FALSE(DecodeScsiAddress(Of(Sector(7))));

  Sector disk(312);
  disk.Le(0, 7, 4).Le(4, 1, 4).Le(8, 121601, 8).Le(16, 12, 4);
  const auto m = DecodeMediaTypes(Of(disk));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->deviceType, 7u);
  EXPECT_EQ(m->mediaType, 12u);
  EXPECT_FALSE(m->busType);
  Sector tape(312);
  tape.Le(0, kFileDeviceTape, 4).Le(4, 1, 4).Le(8, 0x31, 4).Le(20, 1, 4);
  const auto t = DecodeMediaTypes(Of(tape));
  EXPECT_EQ(t->mediaType, 0x31u);
  EXPECT_EQ(t->busType, 1u);
  Sector none(8);
  none.Le(0, 2, 4);  // no media entries: only the device type
  EXPECT_FALSE(DecodeMediaTypes(Of(none))->mediaType);
  EXPECT_FALSE(DecodeMediaTypes(Of(Sector(4))));

  Sector descriptor(128);
  descriptor.Le(0, 1, 4).Le(4, 128, 4).Byte(10, 1);
  descriptor.Le(12, 40, 4).Le(16, 50, 4).Le(20, 80, 4).Le(24, 0, 4).Le(28, 11, 4);
  descriptor.Text(40, 8, "ATA").Byte(48, 0).Text(50, 20, "  Samsung SSD 860").Byte(70, 0);
  descriptor.Text(80, 6, "RVT01B").Byte(86, 0);
  const auto d = DecodeStorageDescriptor(Of(descriptor));
  ASSERT_TRUE(d);
  EXPECT_EQ(d->vendor, "ATA");
  EXPECT_EQ(d->product, "Samsung SSD 860");
  EXPECT_EQ(d->revision, "RVT01B");
  EXPECT_EQ(d->serial, "");  // offset 0: not given
  EXPECT_EQ(d->busType, 11u);
  EXPECT_TRUE(d->removable);
  // An offset past the buffer, or a text without its terminator, reads what is there.
  descriptor.Le(24, 4000, 4).Le(20, 126, 4).Text(126, 2, "AB");
  EXPECT_EQ(DecodeStorageDescriptor(Of(descriptor))->serial, "");
  EXPECT_EQ(DecodeStorageDescriptor(Of(descriptor))->revision, "AB");
  EXPECT_FALSE(DecodeStorageDescriptor(Of(Sector(31))));
}

TEST(WindowsStructs, SmartInterface) {
  Sector version(24);
  version.Byte(0, 1).Byte(1, 1).Byte(3, 0x05).Le(4, 7, 4);
  const auto v = DecodeSmartVersion(Of(version));
  ASSERT_TRUE(v);
  EXPECT_EQ(v->ideDeviceMap, 0x05);
  EXPECT_EQ(v->capabilities, 7u);
  EXPECT_FALSE(DecodeSmartVersion(Of(Sector(3))));

  IdeRegisters regs;
  regs.sectorCount = 1;
  regs.sectorNumber = 1;
  regs.driveHead = 0xB0;
  regs.command = 0xEC;
  const std::string in = BuildSendCmdIn(0, regs);
  ASSERT_EQ(in.size(), 33u);
  EXPECT_EQ(in.substr(0, 13),
            std::string("\x00\x02\x00\x00\x00\x01\x01\x00\x00\xB0\xEC\x00\x00", 13));
  EXPECT_EQ(BuildSendCmdIn(3, regs, 32).size(), 32u);
  EXPECT_EQ(BuildSendCmdIn(3, regs, 32)[12], 3);

  Sector out(16 + 512);
  out.Le(0, 512, 4).Byte(4, 0).Byte(5, 0).Byte(16, 0x40).Byte(17, 0x0C);
  const auto r = DecodeSendCmdOut(Of(out));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->data.size(), 512u);
  EXPECT_EQ(r->data[0], 0x40);
  EXPECT_FALSE(DecodeSendCmdOut(Of(Sector(15))));

  // The miniport request: SRB_IO_CONTROL then SENDCMDINPARAMS without its buffer byte.
  const std::string mini = BuildMiniportIdentify(1);
  ASSERT_EQ(mini.size(), 28u + 32u);
  EXPECT_EQ(mini.substr(4, 8), "SCSIDISK");
  EXPECT_EQ(static_cast<uint8_t>(mini[16]), 0x01);  // control code 0x1B0501, little-endian
  EXPECT_EQ(static_cast<uint8_t>(mini[18]), 0x1B);
  EXPECT_EQ(static_cast<uint8_t>(mini[28 + 10]), 0xEC);
  EXPECT_EQ(mini[28 + 12], 1);
  Sector reply(28 + 16 + 512);
  reply.Le(0, 28, 4).Byte(28 + 16, 0x5A);
  EXPECT_EQ(DecodeMiniportIdentify(Of(reply))->data[0], 0x5A);
  reply.Le(0, 24, 4);  // a head that is not SRB_IO_CONTROL's
  EXPECT_FALSE(DecodeMiniportIdentify(Of(reply)));
}

TEST(WindowsStructs, PassThroughRequestAndReply) {
  const auto cdb = InquiryCdb();
  const std::string in = BuildScsiPassThrough(cdb, kInquiryLength);
  ASSERT_EQ(in.size(), 56u);
  EXPECT_EQ(in[0], 56);
  EXPECT_EQ(in[6], 6);    // CdbLength
  EXPECT_EQ(in[8], 1);    // data in
  EXPECT_EQ(in[12], 36);  // DataTransferLength
  EXPECT_EQ(in[24], 92);  // DataBufferOffset
  EXPECT_EQ(in[32], 60);  // SenseInfoOffset
  EXPECT_EQ(static_cast<uint8_t>(in[36]), 0x12);
  EXPECT_EQ(in[40], 36);  // allocation length

  // The 64-bit reply: the header, then sense and data where the header says.
  Sector reply64(92 + 36);
  reply64.Le(0, 56, 2).Le(12, 36, 4).Le(24, 92, 8).Byte(92, 0x05).Text(100, 8, "HL-DT-ST");
  const auto data = DecodeScsiPassThroughData(Of(reply64));
  ASSERT_TRUE(data);
  ASSERT_EQ(data->size(), 36u);
  EXPECT_EQ((*data)[0], 0x05);
  // The 32-bit layout keeps a 32-bit offset at 20.
  Sector reply32(80 + 36);
  reply32.Le(0, 44, 2).Le(12, 36, 4).Le(20, 80, 4).Byte(80, 0x07);
  EXPECT_EQ((*DecodeScsiPassThroughData(Of(reply32)))[0], 0x07);
  // A check condition, a data length past the buffer, an unknown header: no data.
  reply64.Byte(2, 0x02);
  EXPECT_FALSE(DecodeScsiPassThroughData(Of(reply64)));
  reply64.Byte(2, 0).Le(12, 37, 4);
  EXPECT_FALSE(DecodeScsiPassThroughData(Of(reply64)));
  reply64.Le(0, 48, 2);
  EXPECT_FALSE(DecodeScsiPassThroughData(Of(reply64)));
  EXPECT_FALSE(DecodeScsiPassThroughData(Of(Sector(1))));
}

TEST(ScsiData, InquiryAndCapabilitiesPage) {
  Sector inquiry(36);
  inquiry.Byte(0, 0x05).Text(8, 8, "HL-DT-ST").Text(16, 16, "DVDRAM GH24NSD1").Text(32, 4, "LG00");
  const auto q = DecodeInquiry(Of(inquiry));
  ASSERT_TRUE(q);
  EXPECT_EQ(q->peripheralType, 5);
  EXPECT_EQ(q->vendor, "HL-DT-ST");
  EXPECT_EQ(q->product, "DVDRAM GH24NSD1");
  EXPECT_EQ(q->revision, "LG00");
  EXPECT_FALSE(DecodeInquiry(Of(Sector(35))));

  // Header with an 8-byte block descriptor, then page 2Ah: reads CD-R, CD-RW, DVD-ROM and
  // DVD-R; writes CD-R, CD-RW and DVD-R; 7056 kB/s is 40x.
  Sector page(8 + 8 + 28);
  page.Byte(7, 8);  // block descriptor length, big-endian as SCSI numbers are
  page.Byte(16, 0x2A)
      .Byte(17, 26)
      .Byte(18, 0x1B)
      .Byte(19, 0x13)
      .Byte(24, 7056 >> 8)
      .Byte(25, 7056 & 0xFF);
  const auto c = DecodeCapabilitiesPage(Of(page));
  ASSERT_TRUE(c);
  EXPECT_EQ(c->readsCd, true);
  EXPECT_EQ(c->readsCdR, true);
  EXPECT_EQ(c->readsCdRw, true);
  EXPECT_EQ(c->readsDvd, true);
  EXPECT_EQ(c->readsDvdR, true);
  EXPECT_EQ(c->readsDvdRam, false);
  EXPECT_EQ(c->writesCdR, true);
  EXPECT_EQ(c->writesCdRw, true);
  EXPECT_EQ(c->writesDvdR, true);
  EXPECT_EQ(c->writesDvdRam, false);
  EXPECT_FALSE(c->readsBd);  // the page predates Blu-ray
  EXPECT_EQ(c->speed, 40u);
  page.Byte(16, 0x01);  // another page
  EXPECT_FALSE(DecodeCapabilitiesPage(Of(page)));
  page.Le(6, 0xFFFF, 2);  // descriptors said to run past the data
  EXPECT_FALSE(DecodeCapabilitiesPage(Of(page)));
  EXPECT_FALSE(DecodeCapabilitiesPage(Of(Sector(7))));
}

// Every decoder over every cut of a buffer whose counts, offsets and lengths all claim more
// than there is: each reads only what it was given.
TEST(WindowsStructs, EveryCutOfAnAnswerDecodesSafely) {
  Sector full(700, 0xFF);
  full.Le(0, 56, 2).Byte(2, 0);  // a 64-bit pass-through header, so the offsets are followed
  for (std::size_t n = 0; n <= full.bytes().size(); ++n) {
    const std::span<const uint8_t> cut(full.bytes().data(), n);
    DecodeDiskGeometry(cut);
    DecodeDriveLayout(cut);
    DecodeVolumeDiskExtents(cut);
    DecodeScsiAddress(cut);
    DecodeMediaTypes(cut);
    DecodeStorageDescriptor(cut);
    DecodeSmartVersion(cut);
    DecodeSendCmdOut(cut);
    DecodeMiniportIdentify(cut);
    EXPECT_FALSE(DecodeScsiPassThroughData(cut)) << n;  // its offset points far outside
    DecodeInquiry(cut);
    DecodeCapabilitiesPage(cut);
  }
}

}  // namespace
}  // namespace tavrin::collectors
