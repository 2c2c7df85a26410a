// Parallel ports from the parport driver's texts: a hand-written /proc/sys/dev/parport tree
// read through the file service, and the IEEE 1284 identification in both of its forms.
#include <gtest/gtest.h>

#include "collectors/devices/parallel_port.h"
#include "collectors/devices/vsi_ports.h"
#include "platform/ports.h"
#include "platform/service_hooks.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

TEST(ParallelPort, DeviceIdInBothForms) {
  // As the device sends it, and as the driver rewrites it one field per line.
  const auto own = ParseParallelDeviceId(
      "MFG:Hewlett-Packard;MDL:HP LaserJet 4;CMD:PJL,PCL;CLS:PRINTER;DES:Hewlett-Packard "
      "LaserJet 4;");
  EXPECT_EQ(own.Manufacturer, "Hewlett-Packard");
  EXPECT_EQ(own.Model, "HP LaserJet 4");
  EXPECT_EQ(own.Class, "PRINTER");
  EXPECT_EQ(own.CommandSet, "PJL,PCL");
  const auto driver = ParseParallelDeviceId(
      "CLASS:PRINTER;\nMODEL:Stylus C42;\nMANUFACTURER:EPSON;\nDESCRIPTION:EPSON Stylus "
      "C42;\nCOMMAND SET:ESCPL2,BDC;\n");
  EXPECT_EQ(driver.Manufacturer, "EPSON");
  EXPECT_EQ(driver.Model, "Stylus C42");
  EXPECT_EQ(driver.Description, "EPSON Stylus C42");
  // Nothing answered, or only noise: no identification.
  EXPECT_TRUE(ParseParallelDeviceId("").empty());
  EXPECT_TRUE(ParseParallelDeviceId("garbage;;:;\n\xff").empty());
}

TEST(ParallelPort, PortsFromTheDriverFolder) {
  testing::TempDir root;
  const std::string p0 = "proc/sys/dev/parport/parport0/";
  root.Write(p0 + "base-addr", "888\t1912\n");
  root.Write(p0 + "irq", "7\n");
  root.Write(p0 + "dma", "-1\n");
  root.Write(p0 + "modes", "PCSPP,TRISTATE,COMPAT,EPP,ECP\n");
  root.Write(p0 + "autoprobe", "CLASS:PRINTER;\nMODEL:LaserJet 4;\nMANUFACTURER:HP;\n");
  root.Write(p0 + "devices/active", "lp0\n");
  // A second port with no interrupt, nothing attached and damaged numbers.
  const std::string p1 = "proc/sys/dev/parport/parport1/";
  root.Write(p1 + "base-addr", "x\t0\n");
  root.Write(p1 + "irq", "-1\n");
  root.Write(p1 + "modes", "PCSPP\n");
  root.Write(p1 + "devices/active", "none\n");
  root.Write("proc/sys/dev/parport/default/timeslice", "200\n");

  platform::Services services = *testing::MakeTestServices(root.path());
  platform::AddLinuxPorts(services);
  TVexa_Ports ports(std::make_shared<const platform::Services>(services));
  ports.RefreshData();
  ASSERT_TRUE(ports.Source.ok()) << ports.Source.Explain();
  ASSERT_EQ(ports.ParallelPorts.size(), 2u);  // "default" is no port
  const TParallelPort& a = ports.ParallelPorts[0];
  EXPECT_EQ(a.Name, "parport0");
  EXPECT_EQ(a.BaseAddresses, (std::vector<uint32_t>{0x378, 0x778}));
  EXPECT_EQ(a.Irq, 7);
  EXPECT_FALSE(a.Dma);
  EXPECT_EQ(a.Modes.size(), 5u);
  EXPECT_EQ(a.ActiveDevice, "lp0");
  EXPECT_EQ(a.Attached.Model, "LaserJet 4");
  const TParallelPort& b = ports.ParallelPorts[1];
  EXPECT_TRUE(b.BaseAddresses.empty());
  EXPECT_FALSE(b.Irq);
  EXPECT_EQ(b.ActiveDevice, "");
  EXPECT_TRUE(b.Attached.empty());
}

TEST(ParallelPort, NoDriverSaysSo) {
  testing::TempDir root;
  platform::Services services = *testing::MakeTestServices(root.path());
  platform::AddLinuxPorts(services);
  TVexa_Ports ports(std::make_shared<const platform::Services>(services));
  ports.RefreshData();
  EXPECT_TRUE(ports.ParallelPorts.empty());
  EXPECT_EQ(ports.Source.status, platform::Status::Missing);
  EXPECT_NE(ports.Source.detail.find("parport"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::collectors
