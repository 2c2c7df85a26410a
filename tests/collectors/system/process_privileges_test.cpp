#include "collectors/system/process_privileges.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

TEST(ProcessPrivileges, PermittedCapabilitiesWithTheEffectiveOnesEnabled) {
  platform::ProcessRecord p;
  EXPECT_TRUE(ProcessPrivileges(p).empty()) << "sets not read: no privileges claimed";

  p.capabilitiesPermitted = (1ull << 0) | (1ull << 12) | (1ull << 40) | (1ull << 45);
  p.capabilitiesEffective = 1ull << 12;
  const auto privileges = ProcessPrivileges(p);
  ASSERT_EQ(privileges.size(), 4u);
  EXPECT_EQ(privileges[0].Name, "CAP_CHOWN");
  EXPECT_EQ(privileges[0].Attributes, 0u) << "permitted, not in force";
  EXPECT_EQ(privileges[1].Name, "CAP_NET_ADMIN");
  EXPECT_EQ(privileges[1].Attributes, kPrivilegeEnabled);
  EXPECT_FALSE(privileges[1].DisplayName.empty());
  EXPECT_EQ(privileges[2].Name, "CAP_CHECKPOINT_RESTORE") << "the last one the table knows";
  EXPECT_EQ(privileges[3].Name, "CAP_45") << "a newer kernel's capability keeps its number";

  // A process of an ordinary user holds none.
  p.capabilitiesPermitted = 0;
  p.capabilitiesEffective = 0;
  EXPECT_TRUE(ProcessPrivileges(p).empty());
}

}  // namespace
}  // namespace tavrin::collectors
