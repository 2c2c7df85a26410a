// Failed driver probes from the kernel log: both message forms, both line forms, and the log
// read below a captured tree and on this machine.
#include <gtest/gtest.h>

#include "platform/linux/kernel_log.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

TEST(KernelLog, ProbeFailuresInBothFormsAndBothLineKinds) {
  const auto failures = ParseProbeFailures(
      // /dev/kmsg records, one with its dictionary on continuation lines
      "4,512,1234567,-;xhci_hcd: probe of 0000:00:07.0 failed with error -12\n"
      " SUBSYSTEM=pci\n"
      " DEVICE=+pci:0000:00:07.0\n"
      "3,600,2234567,-,caller=T1;virtio-pci 0000:00:05.0: probe with driver virtio-pci failed "
      "with error -22\n"
      // dmesg lines with their time stamp
      "[    3.141592] serial: probe of 00:01 failed with error -16\n"
      "[    4.000000] e1000e 0000:00:19.0: probe with driver e1000e failed with error -5\n"
      // a later line about the same device wins
      "[    5.000000] serial: probe of 00:01 failed with error -19\n");
  EXPECT_EQ(failures.size(), 4u);
  EXPECT_EQ(failures.at("0000:00:07.0"), (ProbeFailure{"xhci_hcd", -12}));
  EXPECT_EQ(failures.at("0000:00:05.0"), (ProbeFailure{"virtio-pci", -22}));
  EXPECT_EQ(failures.at("00:01"), (ProbeFailure{"serial", -19}));
  EXPECT_EQ(failures.at("0000:00:19.0"), (ProbeFailure{"e1000e", -5}));
}

TEST(KernelLog, LinesThatOnlyLookLikeProbeFailuresAreIgnored) {
  EXPECT_TRUE(ParseProbeFailures("").empty());
  EXPECT_TRUE(ParseProbeFailures("6,1,0,-;probe of x failed with error -5\n"      // no driver
                                 "6,2,0,-;drv: probe of  failed with error -5\n"  // no device
                                 "6,3,0,-;drv: probe of dev failed with error \n"
                                 "6,4,0,-;drv: probe of dev failed with error -5x\n"
                                 "6,5,0,-;drv: probe of dev failed with error 0\n"
                                 "6,6,0,-;usb 1-1: new high-speed USB device number 2\n"
                                 "6,7,0,-;drv: probe of dev failed with error -5 more\n"
                                 " drv: probe of dev failed with error -5\n")  // continuation
                  .empty());
}

TEST(KernelLog, ReadBelowACapturedTreeKeepsTheMatchingRecords) {
  testing::TempDir root;
  const FileReader files(root.path());
  const auto missing = ReadKernelLog(files, "probe ");
  EXPECT_EQ(missing.source.status, Status::Missing);

  root.Write("dev/kmsg",
             "6,1,0,-;Linux version 6.1\n"
             "4,2,5,-;xhci_hcd: probe of 0000:00:07.0 failed with error -12\n");
  const auto log = ReadKernelLog(files, "probe ");
  ASSERT_TRUE(log);
  EXPECT_EQ(*log, "4,2,5,-;xhci_hcd: probe of 0000:00:07.0 failed with error -12\n");
}

// This machine's log: readable, or refused with the reason a user can act on.
TEST(KernelLog, ThisMachineAnswersOrSaysWhyNot) {
  const auto log = ReadKernelLog(FileReader("/"), "probe ");
  if (log) {
    EXPECT_EQ(log.source.source, "/dev/kmsg");
    ParseProbeFailures(*log);  // whatever the log holds parses
  } else if (log.source.status == Status::PermissionDenied) {
    EXPECT_NE(log.source.detail.find("root"), std::string::npos) << log.source.detail;
  } else {
    EXPECT_EQ(log.source.status, Status::Missing) << log.source.Explain();
  }
}

}  // namespace
}  // namespace tavrin::platform
