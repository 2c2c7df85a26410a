// A recording of the software service replays the same answers without the machine: the copied
// files answer for the folders, software.json for times and program runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"
#include "platform/software.h"
#include "platform/software_probes.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

TEST(SoftwareSnapshot, RecordedAnswersReplay) {
  testing::TempDir machine, snapshot;
  machine.Write("var/lib/dpkg/status",
                "Package: zsh\nStatus: install ok installed\nVersion: 5.9\n");
  machine.Write("var/lib/dpkg/info/zsh.list", "/bin/zsh\n");
  machine.Write("etc/xdg/autostart/a.desktop", "[Desktop Entry]\nName=A\nExec=a\n");
  machine.Write("usr/bin/node", "#!/bin/sh\necho v20.1.0\n");
  ::chmod((machine.path() / "usr/bin/node").c_str(), 0755);

  Services live = *testing::MakeTestServices(machine.path(), true);
  live.software = MakeLinuxSoftwareService(live.files, MakeLiveSoftwareProbes(machine.path()), "");
  int64_t listTime = 0;
  {
    SnapshotRecorder recorder(snapshot.path(), live);
    const SoftwareService& sw = *recorder.services().software;
    auto db = sw.Dpkg();
    ASSERT_TRUE(db) << db.source.Explain();
    listTime = db->listTimes.at("zsh.list");
    ASSERT_TRUE(sw.AutostartEntries(StartScope::System));
    auto node = sw.RuntimeVersionOutput("node");
    ASSERT_TRUE(node) << node.source.Explain();
    std::string error;
    ASSERT_TRUE(recorder.Finish(&error)) << error;
  }

  auto opened = OpenSnapshot(snapshot.path());
  ASSERT_TRUE(opened.services) << opened.error;
  ASSERT_NE(opened.services->software, nullptr);
  const SoftwareService& replay = *opened.services->software;
  auto db = replay.Dpkg();
  ASSERT_TRUE(db) << db.source.Explain();
  EXPECT_EQ(db->status, "Package: zsh\nStatus: install ok installed\nVersion: 5.9\n");
  EXPECT_EQ(db->listTimes.at("zsh.list"), listTime);
  auto entries = replay.AutostartEntries(StartScope::System);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ(entries->at(0).path, "/etc/xdg/autostart/a.desktop");
  auto node = replay.RuntimeVersionOutput("node");
  ASSERT_TRUE(node) << node.source.Explain();
  EXPECT_EQ(*node, "v20.1.0\n");
  // What the recording never asked is not made up.
  EXPECT_EQ(replay.RpmPackages().source.status, Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::platform
