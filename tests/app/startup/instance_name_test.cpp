#include "app/startup/instance_name.h"

#include <gtest/gtest.h>

namespace tavrin::startup {
namespace {

TEST(InstanceName, ReducesLongNamesAndKeepsShortOnes) {
  // The examples the rules are written around.
  EXPECT_EQ(ReducedProgramName("SysInfoTool.exe"), "sysinf.exe");
  EXPECT_EQ(ReducedProgramName("SI Tool.exe"), "sitoo.exe");
  EXPECT_EQ(ReducedProgramName("Si X.exe"), "SiX.exe");
  // Ten characters are reduced, nine keep their case and only lose blanks.
  EXPECT_EQ(ReducedProgramName("ABCDEF.exe"), "abcdef.exe");
  EXPECT_EQ(ReducedProgramName("AB CD.exe"), "ABCD.exe");
  // No extension: the first six characters alone; a folder part does not count.
  EXPECT_EQ(ReducedProgramName("Tavrin-GUI"), "tavrin");
  EXPECT_EQ(ReducedProgramName("/opt/Tavrin/tavrin"), "tavrin");
  // Only A to Z are lower-cased; characters, not bytes, are counted.
  EXPECT_EQ(ReducedProgramName("ÄÖÜäöüXYZ.bin"), "ÄÖÜäöü.bin");
}

TEST(InstanceName, SharedByNamesThatReduceAlike) {
  EXPECT_EQ(InstanceName("SysInfoTool.exe"),
            "{8D622ABC-7F4F-49CF-A95A-86F8A21753BA}-local-sysinf.exe");
  EXPECT_EQ(InstanceName("SysInfoTool.exe"), InstanceName("SYSINFO-2.exe"));
  EXPECT_NE(InstanceName("SysInfoTool.exe"), InstanceName("SysInfoTool.bin"));
  EXPECT_NE(InstanceName("tavrin"), InstanceName("Tavrin"));
}

}  // namespace
}  // namespace tavrin::startup
