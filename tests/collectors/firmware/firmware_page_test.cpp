// The BIOS, motherboard and memory sections of the system devices page, through the program a
// user runs: a fixture dump replayed, and a snapshot of a machine whose tables were out of reach.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/run_program.h"
#include "tests/support/test_data.h"
#include "tests/support/test_services.h"

namespace tavrin::pages {
namespace {

using testing::BinDir;
using testing::ProgramRun;
using testing::RunProgram;
using testing::TempDir;

std::filesystem::path Fixture(const std::string& name) {
  return testing::TestData("dmi/" + name);
}

class FirmwarePageTest : public ::testing::Test {
 protected:
  TempDir home;
  ProgramRun Cli(std::vector<std::string> args) const {
    args.insert(args.end(), {"--page", "sysdevinfo"});
    return RunProgram(BinDir() / "tavrin-cli", args,
                      {"XDG_CONFIG_HOME=" + (home.path() / "config").string(),
                       "XDG_STATE_HOME=" + (home.path() / "state").string(), "LANG=C", "LC_ALL="});
  }
};

// "Label:      value" as the text layout prints a row.
bool HasRow(const std::string& out, const std::string& label, const std::string& value) {
  const std::regex row("\\n *" + std::regex_replace(label, std::regex(R"([()#.+*?])"), R"(\$&)") +
                       " +" + std::regex_replace(value, std::regex(R"([()#.+*?/])"), R"(\$&)") +
                       "\\n");
  return std::regex_search(out, row);
}

TEST_F(FirmwarePageTest, ReplayedDumpShowsBiosBoardAndMemoryDevices) {
  const auto dump = Fixture("GigaByte-X399.bin");
  const auto run = Cli({"--replay", dump.string(), "--advanced"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto& out = run.out;
  EXPECT_TRUE(HasRow(out, "BIOS Vendor:", "American Megatrends Inc.")) << out;
  EXPECT_TRUE(HasRow(out, "BIOS Type:", "American Megatrends Inc. F4"));
  EXPECT_TRUE(HasRow(out, "Date:", "10/04/2018"));
  EXPECT_TRUE(HasRow(out, "Size:", "16384 KB"));
  EXPECT_TRUE(HasRow(out, "Motherboard Model:", "X399 AORUS XTREME-CF"));
  EXPECT_TRUE(HasRow(out, "Memory Devices Present:", "8"));
  EXPECT_TRUE(HasRow(out, "Memory Device #", "0"));
  EXPECT_TRUE(HasRow(out, "Memoty Device Type:", "DDR4"));
  EXPECT_TRUE(HasRow(out, "Total Width:", "64 bits"));
  EXPECT_TRUE(HasRow(out, "Total Installed:", "131072 MB")) << "eight 16 GB modules";
  EXPECT_NE(out.find("SMBIOS 3.1 from dump"), std::string::npos);

  const auto easy = Cli({"--replay", dump.string()});
  EXPECT_EQ(easy.out.find("Firmware Tables:"), std::string::npos) << "advanced only";
}

TEST_F(FirmwarePageTest, OldTablesShowMemoryModules) {
  const auto dump = Fixture("Dell-PowerEdge-8450.bin");
  const auto run = Cli({"--replay", dump.string()});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(HasRow(run.out, "Memory Devices Present:", "32")) << run.out;
}

// A server with many sockets, most empty: the advanced sections and the memory rows as a
// user of today expects them.
TEST_F(FirmwarePageTest, ServerDumpShowsTheRecordsInFull) {
  const auto run = Cli({"--replay", Fixture("Dell-PowerEdge-R630.bin").string(), "--advanced"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto& out = run.out;
  for (const char* section :
       {"*** Machine ***", "*** Chassis ***", "*** Processor Sockets ***", "*** Memory Array ***",
        "*** Slots and Ports ***", "*** On-board Devices ***"})
    EXPECT_NE(out.find(section), std::string::npos) << section;
  EXPECT_TRUE(HasRow(out, "Memory Device #", "1, A2: empty")) << out;
  EXPECT_TRUE(HasRow(out, "Speed:", "2400 MT/s")) << "not 0 ns";
  EXPECT_TRUE(HasRow(out, "Configured Speed:", "1866 MT/s"));
  EXPECT_TRUE(HasRow(out, "Type Detail:", "Synchronous, Registered"));
  EXPECT_TRUE(HasRow(out, "UUID:", "4c4c4544-0039-3010-8048-b7c04f384432"));
  EXPECT_TRUE(HasRow(out, "Chassis Type:", "Rack-Mount Chassis"));
  EXPECT_TRUE(HasRow(out, "Socket:", "CPU2: empty"));
  EXPECT_TRUE(HasRow(out, "Processor Family:", "Intel Xeon processor"));
  EXPECT_TRUE(HasRow(out, "Maximum Capacity:", "3.00 TB"));
  EXPECT_TRUE(HasRow(out, "Slot PCIe Slot 2:", "PCI Express Gen 3 x16, x8, InUse, 0000:04:00.0"));
  EXPECT_TRUE(HasRow(out, "Device Integrated RAID:", "SAS Controller, enabled, 0000:03:00.0"));
  EXPECT_TRUE(
      HasRow(out, "IPMI Interface:", "KCS (Keyboard Controller Style), IPMI 2.0, I/O 0xCA8"));
  EXPECT_EQ(out.find(" ns\n"), std::string::npos) << "no memory device speed in ns";

  const auto easy = Cli({"--replay", Fixture("Dell-PowerEdge-R630.bin").string()});
  EXPECT_FALSE(HasRow(easy.out, "Chassis Type:", "Rack-Mount Chassis")) << "advanced only";
}

TEST_F(FirmwarePageTest, MachineWithoutTablesShowsDmiIdAndWhy) {
  TempDir snapshot;
  snapshot.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  snapshot.Write("files/sys/class/dmi/id/bios_vendor", "SeaBIOS\n");
  snapshot.Write("files/sys/class/dmi/id/board_name", "Q35\n");
  snapshot.Write("files.json", R"({"failed": {"/sys/class/dmi/id/board_serial":
      {"status": "permission denied", "source": "/sys/class/dmi/id/board_serial",
       "detail": "Permission denied"}}})");
  const auto run = Cli({"--replay", snapshot.path().string(), "--advanced", "--explain"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(HasRow(run.out, "BIOS Vendor:", "SeaBIOS")) << run.out;
  EXPECT_TRUE(HasRow(run.out, "Motherboard Model:", "Q35"));
  EXPECT_EQ(run.out.find("Ports:"), std::string::npos) << "no counts without tables";
  EXPECT_NE(run.out.find("no tables:"), std::string::npos);
  EXPECT_NE(run.out.find("running as root would fill"), std::string::npos);
  EXPECT_NE(run.out.find("board_serial: permission denied"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::pages
