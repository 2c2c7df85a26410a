#include <gtest/gtest.h>

#include <fstream>

#include "platform/firmware.h"
#include "platform/linux/linux_firmware.h"
#include "platform/linux/linux_machine_facts.h"
#include "platform/linux/live_services.h"
#include "platform/recorded/recorded_firmware.h"
#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"
#include "platform/service_hooks.h"
#include "tests/collectors/firmware/smbios_builder.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

namespace tb = testing::smbios;
using testing::TempDir;

const std::string kTable =
    tb::Structure(1, 0, tb::Body(8, {{4, 1}}), {"Maker"}) + tb::EndOfTable(1);

// Writes `bytes` at `offset` of a sparse file standing in for /dev/mem.
void PutMemory(const TempDir& root, uint64_t offset, const std::string& bytes) {
  const auto file = root.path() / "dev/mem";
  std::filesystem::create_directories(file.parent_path());
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  if (!out) out.open(file, std::ios::out | std::ios::binary);
  out.seekp(static_cast<std::streamoff>(offset));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

FirmwareRoutes Read(const TempDir& root) {
  return LinuxFirmwareService(std::make_shared<FileReader>(root.path())).ReadSmbios();
}

TEST(FirmwareRoutes, SysfsTablesAnswerFirst) {
  TempDir root;
  root.Write("sys/firmware/dmi/tables/smbios_entry_point", tb::EntryPoint3(3, 2, 0x7F000000, 64));
  root.Write("sys/firmware/dmi/tables/DMI", kTable);
  const auto routes = Read(root);
  ASSERT_TRUE(routes.tables);
  EXPECT_EQ(routes.tables->table, kTable);
  EXPECT_EQ(routes.tables.source.source, "/sys/firmware/dmi/tables");
  ASSERT_EQ(routes.tried.size(), 1u);
}

TEST(FirmwareRoutes, EfiSystabThenPhysicalMemory) {
  TempDir root;
  root.Write("sys/firmware/efi/systab",
             "ACPI20=0x7ffd0014\nSMBIOS3=0x7f000000\nSMBIOS=0x7f010000\n");
  PutMemory(root, 0x7F000000, tb::EntryPoint3(3, 0, 0x7F001000, 4096));
  PutMemory(root, 0x7F001000, kTable);
  const auto routes = Read(root);
  ASSERT_TRUE(routes.tables) << routes.tables.source.Explain();
  EXPECT_EQ(routes.tables->table.substr(0, kTable.size()), kTable) << "a 3.x length is a maximum";
  EXPECT_EQ(routes.tables->tableAddress, 0x7F001000u);
  ASSERT_EQ(routes.tried.size(), 2u);
  EXPECT_EQ(routes.tried[0].status, Status::Missing);
  EXPECT_EQ(routes.tried[0].source, "/sys/firmware/dmi/tables/smbios_entry_point");
}

TEST(FirmwareRoutes, LegacyScanOfTheBiosArea) {
  TempDir root;
  PutMemory(root, 0xF0000, std::string(0x10000, '\0'));
  PutMemory(root, 0xF0A30, tb::EntryPoint2(2, 4, 0xE0000, static_cast<uint16_t>(kTable.size()), 2));
  PutMemory(root, 0xE0000, kTable);
  const auto routes = Read(root);
  ASSERT_TRUE(routes.tables) << routes.tables.source.Explain();
  EXPECT_EQ(routes.tables->table, kTable);
  EXPECT_EQ(routes.tried.size(), 3u);
}

TEST(FirmwareRoutes, NoRouteSaysWhyForEach) {
  TempDir root;
  const auto routes = Read(root);
  EXPECT_FALSE(routes.tables);
  ASSERT_EQ(routes.tried.size(), 3u);
  for (const auto& p : routes.tried) EXPECT_EQ(p.status, Status::Missing) << p.Explain();
  EXPECT_EQ(routes.tried[2].source, "/dev/mem");
}

TEST(FirmwareRoutes, BadEntryPointChecksumIsMalformed) {
  TempDir root;
  auto entry = tb::EntryPoint2(2, 4, 0x1000, 10, 1);
  entry[4] ^= 0x55;
  root.Write("sys/firmware/dmi/tables/smbios_entry_point", entry);
  root.Write("sys/firmware/dmi/tables/DMI", kTable);
  const auto routes = Read(root);
  EXPECT_FALSE(routes.tables);
  EXPECT_EQ(routes.tried[0].status, Status::Malformed);
}

TEST(FirmwareRoutes, EfiSystabParsing) {
  auto a = ParseEfiSystab("SMBIOS=0xf0410\r\nACPI=0x1\nSMBIOS3=zz\n");
  EXPECT_EQ(a.smbios, 0xF0410u);
  EXPECT_FALSE(a.smbios3);
  EXPECT_FALSE(ParseEfiSystab("").smbios);
}

TEST(FirmwareDmiId, EveryFieldKeepsItsOwnProvenance) {
  TempDir root;
  root.Write("sys/class/dmi/id/bios_vendor", "SeaBIOS\n");
  root.Write("sys/class/dmi/id/product_name", "Standard PC (Q35 + ICH9, 2009)\n");
  root.Write("sys/class/dmi/id/chassis_type", "1\n");
  std::filesystem::create_directories(root.path() / "sys/class/dmi/id/product_serial");  // EISDIR
  const auto record = LinuxMachineFacts(std::make_shared<FileReader>(root.path()), false).DmiId();
  ASSERT_TRUE(record);
  EXPECT_EQ(record->Text(DmiField::BiosVendor), "SeaBIOS");
  EXPECT_EQ(record->Text(DmiField::ProductName), "Standard PC (Q35 + ICH9, 2009)");
  EXPECT_EQ(record->Text(DmiField::ChassisType), "1");
  EXPECT_EQ((*record)[DmiField::BoardName].source.status, Status::Missing);
  const auto& serial = (*record)[DmiField::ProductSerial];
  EXPECT_FALSE(serial.ok());
  EXPECT_NE(serial.source.status, Status::Missing);
  EXPECT_EQ(serial.source.source, "/sys/class/dmi/id/product_serial");

  TempDir empty;
  EXPECT_EQ(
      LinuxMachineFacts(std::make_shared<FileReader>(empty.path()), false).DmiId().source.status,
      Status::Missing);
}

TEST(FirmwareRoutes, A2xTableIsCutToTheLengthItsEntryPointGives) {
  TempDir root;
  root.Write("sys/firmware/dmi/tables/smbios_entry_point",
             tb::EntryPoint2(2, 7, 0x000E1000, static_cast<uint16_t>(kTable.size()), 2));
  root.Write("sys/firmware/dmi/tables/DMI", kTable + std::string(64, '\xEE'));
  const auto routes = Read(root);
  ASSERT_TRUE(routes.tables) << routes.tables.source.Explain();
  EXPECT_EQ(routes.tables->table, kTable);
  EXPECT_EQ(routes.tables->entry.VersionText(), "2.7");
  EXPECT_EQ(routes.tables->entry.kind, EntryPointKind::Smbios2);
}

TEST(FirmwareDump, ComposeAndSplitKeepTheLayout) {
  SmbiosTables tables{tb::EntryPoint2(2, 8, 0x000E1234, static_cast<uint16_t>(kTable.size()), 2),
                      kTable,
                      0x000E1234,
                      {}};
  const auto dump = ComposeSmbiosDump(tables);
  ASSERT_EQ(dump.size(), kDumpTableOffset + kTable.size());
  const auto loc = ParseEntryPointAt(dump);
  ASSERT_TRUE(loc) << "checksums recomputed";
  EXPECT_EQ(loc->tableAddress, kDumpTableOffset);
  const auto back = SplitSmbiosDump(dump);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->table, kTable);
  EXPECT_FALSE(SplitSmbiosDump("not a dump at all, just some text that is long enough"));
  EXPECT_FALSE(SplitSmbiosDump(""));
}

// Every entry point form survives being written as a dump and read back, the oddities
// firmware publishes included; an entry point that gives its table no bytes is refused both
// times, with that reason, instead of being written as a header that no longer reads back.
TEST(FirmwareDump, EveryEntryPointFormRoundTripsOrIsRefused) {
  const auto round_trip = [](const std::string& entry, const char* what) {
    SCOPED_TRACE(what);
    const auto first = SplitSmbiosDump(tb::Dump(entry, kTable));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->table, kTable);
    const auto again = SplitSmbiosDump(ComposeSmbiosDump(*first));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->table, kTable);
    EXPECT_EQ(again->entry.kind, first->entry.kind);
    EXPECT_EQ(again->entry.VersionText(), first->entry.VersionText());
    EXPECT_EQ(again->entry.tableLength, first->entry.tableLength);
  };
  const auto size = static_cast<uint16_t>(kTable.size());
  round_trip(tb::EntryPoint2(2, 8, 0x000E1234, size, 2), "32-bit");
  round_trip(tb::EntryPoint3(3, 2, 0x7F000000, 0x400), "64-bit");
  // A lone "_DMI_" structure: the intermediate part of a 32-bit entry point.
  const std::string legacy = tb::EntryPoint2(2, 0, 0xF1234, size, 2).substr(0x10, 0x0F);
  round_trip(legacy, "lone _DMI_");
  // Firmware that states 0x1E for the 0x1F-byte structure: its last byte belongs to the
  // intermediate part's checksum and must not be cut off.
  std::string short_length = tb::EntryPoint2(2, 1, 0x000E1000, size, 2);
  short_length[0x05] = 0x1E;
  tb::Checksum(short_length, 0x04, 0, 0x1E);
  ASSERT_TRUE(ParseEntryPointAt(short_length));
  round_trip(short_length, "length 0x1E");

  std::string no_table = legacy;
  tb::Put(no_table, 0x06, 0, 2);  // a table length of 0
  tb::Checksum(no_table, 0x05, 0, 0x0F);
  const std::string dump = tb::Dump(no_table, kTable);
  EXPECT_FALSE(SplitSmbiosDump(dump));
  EXPECT_EQ(SmbiosDumpProblem(dump), "its SMBIOS entry point gives the structure table no bytes");
  std::string why;
  EXPECT_FALSE(LoadFirmwareDump(dump, "no_table.bin", why));
  EXPECT_EQ(why, "its SMBIOS entry point gives the structure table no bytes");
}

TEST(FirmwareSnapshot, RecordsAndReplaysTheTablesAndTheRoutes) {
  TempDir machine, snapshot_dir;
  machine.Write("sys/firmware/efi/systab", "SMBIOS3=0x1000\n");
  PutMemory(machine, 0x1000, tb::EntryPoint3(3, 1, 0x2000, static_cast<uint32_t>(kTable.size())));
  PutMemory(machine, 0x2000, kTable);
  {
    Services live = MakeLiveServices(machine.path());
    SnapshotRecorder recorder(snapshot_dir.path(), live);
    ASSERT_TRUE(recorder.services().firmware->ReadSmbios().tables);
    std::string error;
    ASSERT_TRUE(recorder.Finish(&error)) << error;
  }
  EXPECT_TRUE(std::filesystem::exists(snapshot_dir.path() / "firmware/smbios.bin"));
  auto opened = OpenSnapshot(snapshot_dir.path());
  ASSERT_TRUE(opened.services) << opened.error;
  ASSERT_TRUE(opened.services->firmware);
  const auto replayed = opened.services->firmware->ReadSmbios();
  ASSERT_TRUE(replayed.tables);
  EXPECT_EQ(replayed.tables->table, kTable);
  ASSERT_EQ(replayed.tried.size(), 2u) << "the recording machine's story";
  EXPECT_EQ(replayed.tried[0].status, Status::Missing);
  EXPECT_FALSE(opened.services->firmware->ReadPhysicalMemory(0xF0000, 16));

  // The single dump file is a snapshot of its own.
  const auto dump = snapshot_dir.path() / "firmware/smbios.bin";
  auto single = OpenSnapshot(dump);
  ASSERT_TRUE(single.services) << single.error;
  ASSERT_TRUE(single.services->firmware);
  EXPECT_EQ(single.services->firmware->ReadSmbios().tables->table, kTable);
  EXPECT_FALSE(LoadFirmwareDumpFile(snapshot_dir.path() / "snapshot.json"));
}

TEST(FirmwareSnapshot, AFailedRecordingReplaysItsReasons) {
  TempDir machine, snapshot_dir;
  {
    SnapshotRecorder recorder(snapshot_dir.path(), MakeLiveServices(machine.path()));
    EXPECT_FALSE(recorder.services().firmware->ReadSmbios().tables);
    ASSERT_TRUE(recorder.Finish());
  }
  EXPECT_FALSE(std::filesystem::exists(snapshot_dir.path() / "firmware/smbios.bin"));
  auto opened = OpenSnapshot(snapshot_dir.path());
  ASSERT_TRUE(opened.services);
  ASSERT_TRUE(opened.services->firmware);
  const auto replayed = opened.services->firmware->ReadSmbios();
  EXPECT_FALSE(replayed.tables);
  EXPECT_EQ(replayed.tried.size(), 3u);
  EXPECT_EQ(replayed.tables.source.source, "/dev/mem");
}

}  // namespace
}  // namespace tavrin::platform
