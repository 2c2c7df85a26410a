#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/linux_system_facts.h"
#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

using testing::TempDir;

// A captured machine tree to record from, with the kinds of entries sysfs has.
class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.Write("proc/cpuinfo", "processor\t: 0\nmodel name\t: Test CPU\n");
    machine.Write("sys/class/net/eth0/address", "52:54:00:12:34:56\n");
    machine.Write("sys/class/dmi/id/product_serial", "");
    machine.Write("bin/blob", std::string("\x00\x01\xff\x7f", 4));
    std::filesystem::create_directories(machine.path() / "sys/devices/virtual/net/lo");
    std::filesystem::create_symlink("../../devices/virtual/net/lo",
                                    machine.path() / "sys/class/net/lo");
    // What a normal user meets under /sys/firmware: a file it may not read.
    machine.Write("sys/firmware/dmi/tables/DMI", "secret");
  }

  // The same reads a collector would make; returns their answers as one text.
  static std::string ReadAll(const Services& s) {
    std::string out;
    auto line = [&](const std::string& what, const auto& answer) {
      out += what + " -> " + (answer ? "ok" : std::string(StatusName(answer.source.status))) + "\n";
    };
    auto cpu = s.files->ReadFile("/proc/cpuinfo");
    line("cpuinfo", cpu);
    if (cpu) out += *cpu;
    auto mac = s.files->ReadLine("/sys/class/net/eth0/address");
    line("mac", mac);
    if (mac) out += *mac + "\n";
    auto blob = s.files->ReadFile("/bin/blob");
    line("blob", blob);
    if (blob) out += std::to_string(blob->size()) + "\n";
    auto nets = s.files->ListDir("/sys/class/net");
    line("net", nets);
    if (nets)
      for (const auto& n : *nets) out += n + ",";
    auto link = s.files->ReadLink("/sys/class/net/lo");
    line("lo", link);
    if (link) out += *link + "\n";
    line("missing", s.files->ReadFile("/proc/nonexistent"));
    line("dmi", s.files->ReadFile("/sys/firmware/dmi/tables/DMI"));
    auto lang =
        s.registry->ReadValue(RegRoot::CurrentUser, "Software\\Tavrin\\Settings", "Language");
    line("lang", lang);
    if (lang) out += *lang->AsString() + "\n";
    out += s.system->ComputerName().value_or("?") + " " +
           std::to_string(s.system->OsVersionRecord().value_or({}).major) + "\n";
    return out;
  }

  Services LiveLike() {
    Services live;
    // Permission errors cannot be made as root, so this reader invents one for the DMI table.
    struct DenyingReader : FileReader {
      using FileReader::FileReader;
      Answer<std::string> ReadFile(std::string_view path, std::size_t limit) const override {
        if (path == "/sys/firmware/dmi/tables/DMI")
          return Answer<std::string>::Fail(Status::PermissionDenied, std::string(path),
                                           "Permission denied");
        return FileReader::ReadFile(path, limit);
      }
    };
    live.files = std::make_shared<DenyingReader>(machine.path());
    auto registry = std::make_shared<RegistryTree>("settings.ini");
    registry->SetValue(RegRoot::CurrentUser, "Software\\Tavrin\\Settings", "Language",
                       RegValue::String("DEU"));
    live.registry = registry;
    live.system = std::make_shared<testing::FixedSystemFacts>();
    live.live = true;
    live.origin = "this machine";
    return live;
  }

  TempDir machine;
  TempDir snapshots;
};

TEST_F(SnapshotTest, ReplayAnswersWhatRecordingSaw) {
  const auto dir = snapshots.path() / "snap";
  std::string recorded;
  {
    SnapshotRecorder recorder(dir, LiveLike());
    EXPECT_TRUE(IsLiveMachine(recorder.services()));
    recorded = ReadAll(recorder.services());
    std::string error;
    ASSERT_TRUE(recorder.Finish(&error)) << error;
  }
  EXPECT_NE(recorded.find("dmi -> permission denied"), std::string::npos);

  // Moved elsewhere, the snapshot still replays: it holds no absolute paths of its own.
  const auto moved = snapshots.path() / "elsewhere" / "copy";
  std::filesystem::create_directories(moved.parent_path());
  std::filesystem::rename(dir, moved);
  SnapshotOpen opened = OpenSnapshot(moved);
  ASSERT_TRUE(opened.services) << opened.error;
  EXPECT_FALSE(IsLiveMachine(*opened.services));
  EXPECT_TRUE(opened.warnings.empty());
  EXPECT_EQ(ReadAll(*opened.services), recorded);
}

// A file that changes while the recording runs (the memory summary under load) must give the
// recording run what the snapshot keeps, or the replay shows other pages than the run did.
TEST_F(SnapshotTest, RecordingIsOneMomentUntilItIsFinished) {
  machine.Write("proc/meminfo", "MemAvailable: 100 kB\n");
  const auto dir = snapshots.path() / "snap";
  SnapshotRecorder recorder(dir, LiveLike());
  const auto& files = *recorder.services().files;
  EXPECT_EQ(files.ReadFile("/proc/meminfo").value_or(""), "MemAvailable: 100 kB\n");
  EXPECT_EQ(files.ReadFile("/proc/meminfo", 4).value_or(""), "MemA") << "a shorter read asks again";
  EXPECT_FALSE(files.ReadFile("/proc/later"));
  EXPECT_EQ(files.ListDir("/proc").value_or({}).size(), 2u);
  machine.Write("proc/meminfo", "MemAvailable: 90 kB\n");
  machine.Write("proc/later", "now here\n");
  EXPECT_EQ(files.ReadFile("/proc/meminfo").value_or(""), "MemAvailable: 100 kB\n");
  EXPECT_FALSE(files.ReadFile("/proc/later")) << "a missing file stays missing";
  EXPECT_EQ(files.ListDir("/proc").value_or({}).size(), 2u) << "the first listing";

  std::string error;
  ASSERT_TRUE(recorder.Finish(&error)) << error;
  // A window that recorded its first gathering goes on reading the machine.
  EXPECT_EQ(files.ReadFile("/proc/meminfo").value_or(""), "MemAvailable: 90 kB\n");
  EXPECT_TRUE(files.ReadFile("/proc/later"));
  SnapshotOpen opened = OpenSnapshot(dir);
  ASSERT_TRUE(opened.services) << opened.error;
  EXPECT_EQ(opened.services->files->ReadFile("/proc/meminfo").value_or(""),
            "MemAvailable: 100 kB\n");
}

TEST_F(SnapshotTest, UnreadableSnapshotsSayWhereAndWhy) {
  EXPECT_NE(OpenSnapshot(snapshots.path() / "none").error.find("no such directory"),
            std::string::npos);
  snapshots.Write("file", "x");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "file").error.find("not a snapshot"),
            std::string::npos);
  snapshots.Write("empty/readme", "x");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "empty").error.find("snapshot.json"),
            std::string::npos);
  snapshots.Write("bad/snapshot.json", "{not json");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "bad").error.find("not valid JSON"), std::string::npos);
  snapshots.Write("other/snapshot.json", R"({"format":"something-else","version":1})");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "other").error.find("not a Tavrin snapshot"),
            std::string::npos);
  snapshots.Write("future/snapshot.json", R"({"format":"tavrin-snapshot","version":99})");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "future").error.find("newer"), std::string::npos);
  snapshots.Write("noheader/snapshot.json", R"({"format":"tavrin-snapshot","version":1})");
  snapshots.Write("noheader/registry/a.reg", "just text\n");
  EXPECT_NE(OpenSnapshot(snapshots.path() / "noheader").error.find("a.reg"), std::string::npos);
}

TEST_F(SnapshotTest, HandWrittenSnapshotWithRegistryAndFacts) {
  snapshots.Write("hand/snapshot.json", R"({"format":"tavrin-snapshot","version":1})");
  snapshots.Write("hand/registry/os.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                  "\"ProductName\"=\"Windows XP\"\r\n"
                  "\"CurrentBuildNumber\"=\"2600\"\r\n");
  snapshots.Write("hand/system.json",
                  R"({"ComputerName":{"status":"ok","source":"GetComputerNameW","value":"XPBOX"},
                      "UserName":{"status":"permission denied","source":"GetUserNameW"},
                      "OsVersionRecord":{"status":"ok","source":"GetVersionExW",
                        "value":{"platform":2,"major":5,"minor":1,"build":2600,"csd":"Service Pack 3"}}})");
  SnapshotOpen opened = OpenSnapshot(snapshots.path() / "hand");
  ASSERT_TRUE(opened.services) << opened.error;
  const Services& s = *opened.services;
  auto product = s.registry->ReadValue(
      RegRoot::LocalMachine, "software\\microsoft\\windows nt\\currentversion", "productname");
  ASSERT_TRUE(product);
  EXPECT_EQ(*product->AsString(), "Windows XP");
  EXPECT_EQ(s.system->ComputerName().value_or(""), "XPBOX");
  EXPECT_EQ(s.system->UserName().source.status, Status::PermissionDenied);
  EXPECT_EQ(s.system->UserId().source.status, Status::NotSupported);
  const OsVersion v = s.system->OsVersionRecord().value_or({});
  EXPECT_EQ(v, (OsVersion{OsPlatform::WindowsNT, 5, 1, 2600, "Service Pack 3"}));
  EXPECT_EQ(s.files->ReadFile("/proc/cpuinfo").source.status, Status::Missing);
}

TEST(FileReaderTest, RootSwapLimitsAndErrors) {
  TempDir tree;
  tree.Write("etc/os-release", "  NAME=\"Test\"  \nID=test\n");
  FileReader reader(tree.path());
  EXPECT_EQ(reader.Resolve("/etc/os-release"), tree.path() / "etc/os-release");
  EXPECT_EQ(reader.ReadLine("/etc/os-release").value_or(""), "NAME=\"Test\"");
  EXPECT_EQ(reader.ReadFile("/etc/os-release", 4).value_or(""), "  NA");
  auto missing = reader.ReadFile("/etc/none");
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.source.status, Status::Missing);
  EXPECT_EQ(missing.source.source, "/etc/none");
  EXPECT_EQ(reader.ListDir("/etc").value_or({}), std::vector<std::string>{"os-release"});
  EXPECT_EQ(reader.ListDir("/etc/os-release").source.status, Status::Missing);
  // The real machine's root reads the real file.
  FileReader real;
  EXPECT_TRUE(real.ReadFile("/proc/self/stat"));
}

TEST(KernelRelease, SplitsIntoVersionRecord) {
  EXPECT_EQ(ParseKernelRelease("6.1.0-18-amd64"),
            (OsVersion{OsPlatform::Linux, 6, 1, 0, "-18-amd64"}));
  EXPECT_EQ(ParseKernelRelease("5.15.133.1-microsoft-standard-WSL2"),
            (OsVersion{OsPlatform::Linux, 5, 15, 133, ".1-microsoft-standard-WSL2"}));
  EXPECT_EQ(ParseKernelRelease("4.9"), (OsVersion{OsPlatform::Linux, 4, 9, 0, ""}));
  EXPECT_EQ(ParseKernelRelease("weird"), (OsVersion{OsPlatform::Linux, 0, 0, 0, "weird"}));
}

}  // namespace
}  // namespace tavrin::platform
