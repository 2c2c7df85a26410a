// Snapshot, dump, settings and .reg loaders given hostile files: wrong JSON types, device links,
// FIFOs, huge sparse files and absurdly deep keys must each be refused at once, with the file
// and the reason named, and never crash, block or fill memory.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/linux/settings_file.h"
#include "platform/os_environment.h"
#include "platform/os_facts.h"
#include "platform/os_locale.h"
#include "platform/recorded/snapshot.h"
#include "platform/reg_text.h"
#include "platform/whole_file.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr const char* kManifest = R"({"format":"tavrin-snapshot","version":1})";
constexpr const char* kLeafZero =
    "CPUID 00000000: 00000004-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 000306A9-00100800-7FBAE3FF-BFEBFBFF\n";

void MakeSparse(const fs::path& file, off_t size) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

std::string OpenError(const fs::path& dir) {
  SnapshotOpen open = OpenSnapshot(dir);
  EXPECT_FALSE(open.services) << dir;
  return open.error;
}

TEST(WholeFileReader, RefusesEverythingButRegularFilesBeforeReading) {
  tavrin::testing::TempDir dir;
  dir.Write("plain.txt", "hello");
  const fs::path fifo = dir.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.path() / "zero");
  fs::create_symlink("loop", dir.path() / "loop");
  fs::create_symlink("nowhere", dir.path() / "dangling");
  MakeSparse(dir.path() / "sparse", off_t{8} << 30);

  WholeFile plain = ReadWholeFileChecked(dir.path() / "plain.txt", 5);
  ASSERT_TRUE(plain.bytes);
  EXPECT_EQ(*plain.bytes, "hello");
  EXPECT_EQ(ReadWholeFileChecked(dir.path() / "plain.txt", 4).error, "larger than 4 bytes");

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadWholeFileChecked(fifo).error, "is a FIFO");
  EXPECT_EQ(ReadWholeFileChecked(dir.path() / "zero").error, "is a character device");
  EXPECT_EQ(ReadWholeFileChecked(dir.path()).error, "is a directory");
  EXPECT_EQ(ReadWholeFileChecked(dir.path() / "sparse").error, "larger than 256 MB");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  EXPECT_THAT(ReadWholeFileChecked(dir.path() / "loop").error, HasSubstr("symbolic link loop"));
  EXPECT_TRUE(ReadWholeFileChecked(dir.path() / "dangling").missing);
  // A link the caller will not follow is refused even when it leads to a regular file.
  fs::create_symlink("plain.txt", dir.path() / "link");
  EXPECT_TRUE(ReadWholeFileChecked(dir.path() / "link").bytes);
  EXPECT_FALSE(ReadWholeFileChecked(dir.path() / "link", kMaxWholeFileBytes, false).bytes);
}

TEST(SnapshotManifest, AcceptsOnlyOurFormatAndAWholeVersionInRange) {
  struct Case {
    const char* manifest;
    const char* error;  // nullptr: opens
  } cases[] = {
      {R"({"format":"tavrin-snapshot","version":1})", nullptr},
      {R"({"format":"tavrin-snapshot","version":"1"})",
       R"(field "version" is "1", not an integer)"},
      {R"({"format":"tavrin-snapshot","version":null})", R"(field "version" is null)"},
      {R"({"format":1,"version":1})", R"(field "format" is 1, not a text)"},
      {R"({"format":"other","version":1})", "not a Tavrin snapshot"},
      {R"({"version":1})", R"(no "format" field)"},
      {R"({"format":"tavrin-snapshot"})", R"(no "version" field)"},
      {R"({"format":"tavrin-snapshot","version":1e10})", R"(field "version" is 10000000000.0)"},
      {R"({"format":"tavrin-snapshot","version":1e30})", R"(field "version" is 1e+30)"},
      {R"({"format":"tavrin-snapshot","version":1.0})", R"(field "version" is 1.0)"},
      {R"({"format":"tavrin-snapshot","version":4294967297})", R"(is 4294967297, not an integer)"},
      {R"({"format":"tavrin-snapshot","version":2})", "snapshot version 2 is newer"},
      {R"({"format":"tavrin-snapshot","version":0})", R"(field "version" is 0)"},
      {R"({"format":"tavrin-snapshot","version":-1})", R"(field "version" is -1)"},
      {R"([1])", "not valid JSON"},
  };
  for (const auto& c : cases) {
    tavrin::testing::TempDir dir;
    dir.Write("snapshot.json", c.manifest);
    SnapshotOpen open = OpenSnapshot(dir.path());
    if (c.error == nullptr) {
      EXPECT_TRUE(open.services) << c.manifest << ": " << open.error;
      continue;
    }
    EXPECT_FALSE(open.services) << c.manifest;
    EXPECT_THAT(open.error, HasSubstr("snapshot.json")) << c.manifest;
    EXPECT_THAT(open.error, HasSubstr(c.error)) << c.manifest;
  }
}

TEST(SnapshotFiles, AFileOfTheWrongKindOrTypeRefusesTheSnapshotNamingIt) {
  // A field of the wrong type anywhere in processor.json names the file and the field.
  {
    tavrin::testing::TempDir dir;
    dir.Write("snapshot.json", kManifest);
    dir.Write("cpuid/cpu0.txt", kLeafZero);
    dir.Write("cpuid/processor.json", R"({"level":"x"})");
    const std::string error = OpenError(dir.path());
    EXPECT_THAT(error, HasSubstr("processor.json"));
    EXPECT_THAT(error, HasSubstr(R"(field "level" is "x")"));
  }
  {
    tavrin::testing::TempDir dir;
    dir.Write("snapshot.json", kManifest);
    dir.Write("cpuid/cpu0.txt", kLeafZero);
    dir.Write("cpuid/processor.json", R"({"level":70000})");  // beyond 16 bits
    EXPECT_THAT(OpenError(dir.path()), HasSubstr(R"(field "level" is 70000)"));
  }
  // Devices, FIFOs, directories and huge files in a snapshot's place are refused unread.
  struct Case {
    const char* file;
    const char* kind;  // "zero", "fifo", "dir" or "sparse"
    const char* reason;
  } cases[] = {
      {"snapshot.json", "zero", "is a character device"},
      {"system.json", "zero", "is a character device"},
      {"system.json", "fifo", "is a FIFO"},
      {"files.json", "sparse", "larger than 256 MB"},
      {"cpuid/kernel.json", "zero", "is a character device"},
      {"cpuid/cpu0.txt", "fifo", "is a FIFO"},
      {"firmware/smbios.bin", "zero", "is a character device"},
      {"registry/machine.reg", "zero", "is a character device"},
      {"registry/x.reg", "dir", "is a directory"},
  };
  for (const auto& c : cases) {
    tavrin::testing::TempDir dir;
    if (std::string(c.file) != "snapshot.json") dir.Write("snapshot.json", kManifest);
    const fs::path target = dir.path() / c.file;
    fs::create_directories(target.parent_path());
    const std::string kind = c.kind;
    if (kind == "zero") fs::create_symlink("/dev/zero", target);
    if (kind == "fifo") {
      ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    }
    if (kind == "dir") fs::create_directory(target);
    if (kind == "sparse") MakeSparse(target, off_t{8} << 30);
    const std::string error = OpenError(dir.path());
    EXPECT_THAT(error, HasSubstr(target.string())) << c.file << " " << c.kind;
    EXPECT_THAT(error, HasSubstr(c.reason)) << c.file << " " << c.kind;
  }
}

TEST(DumpFiles, ARejectedDumpSaysWhy) {
  tavrin::testing::TempDir dir;
  dir.Write("words.txt", "hello\nworld\n");
  dir.Write("noleaf0.txt", "CPUID 00000001: 000306A9-00100800-7FBAE3FF-BFEBFBFF\n");
  std::string smbios(0x40, '\0');
  smbios.replace(0, 4, "_SM_");
  dir.Write("badsum.bin", smbios);
  MakeSparse(dir.path() / "huge.bin", off_t{17} << 20);
  fs::create_symlink("loop.bin", dir.path() / "loop.bin");
  const fs::path unreadable = dir.path() / "secret.txt";
  dir.Write("secret.txt", kLeafZero);
  fs::permissions(unreadable, fs::perms::none);

  EXPECT_THAT(OpenError(dir.path() / "words.txt"), HasSubstr("no CPUID register lines"));
  EXPECT_THAT(OpenError(dir.path() / "noleaf0.txt"), HasSubstr("no leaf 0"));
  EXPECT_THAT(OpenError(dir.path() / "badsum.bin"), HasSubstr("bad checksum"));
  EXPECT_THAT(OpenError(dir.path() / "huge.bin"), HasSubstr("larger than 16 MB"));
  EXPECT_THAT(OpenError(dir.path() / "loop.bin"), HasSubstr("symbolic link loop"));
  EXPECT_THAT(OpenError(dir.path() / "missing"), HasSubstr("no such directory or dump file"));
  if (::geteuid() != 0) {
    EXPECT_THAT(OpenError(unreadable), HasSubstr("unreadable"));
  }

  SnapshotOpen good = OpenSnapshot((dir.Write("cpu.txt", kLeafZero), dir.path() / "cpu.txt"));
  EXPECT_TRUE(good.services) << good.error;
}

std::string DeepKeyPath(std::size_t depth) {
  std::string path;
  for (std::size_t i = 0; i < depth; ++i) path += (i ? "\\k" : "k");
  return path;
}

TEST(DeepKeys, KeysDeeperThanTheRegistryAllowsAreSkippedWithTheirLine) {
  const auto start = std::chrono::steady_clock::now();
  {
    RegistryTree tree;
    RegParseResult r = ParseRegText(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\" +
            DeepKeyPath(512) +
            "]\n"
            "\"V\"=\"at the limit\"\n"
            "[HKEY_LOCAL_MACHINE\\" +
            DeepKeyPath(30000) +
            "]\n"
            "\"V\"=\"too deep\"\n",
        tree);
    ASSERT_TRUE(r.ok);
    // The skipped key's values then have no key, as after any broken key line.
    ASSERT_EQ(r.issues.size(), 2u);
    EXPECT_EQ(r.issues[0].line, 5);
    EXPECT_THAT(r.issues[0].message, HasSubstr("30000 levels deep"));
    EXPECT_TRUE(tree.ReadValue(RegRoot::LocalMachine, DeepKeyPath(512), "V"));
  }
  {
    SettingsLoad load = ParseSettingsIni("[" + DeepKeyPath(513) + "]\nV=\"x\"\n[ok]\nW=\"y\"\n");
    ASSERT_EQ(load.problems.size(), 1u);
    EXPECT_THAT(load.problems[0], HasSubstr("line 1:"));
    EXPECT_THAT(load.problems[0], HasSubstr("513 levels deep"));
    EXPECT_TRUE(load.tree->ReadValue(RegRoot::CurrentUser, "ok", "W"));
    EXPECT_FALSE(load.tree->ReadValue(RegRoot::CurrentUser, DeepKeyPath(513), "V"));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(SettingsFileReader, AFifoOrDeviceInPlaceOfTheSettingsIsReportedNotRead) {
  tavrin::testing::TempDir dir;
  const fs::path fifo = dir.path() / "settings.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  SettingsLoad load = LoadSettingsFile(fifo);
  ASSERT_EQ(load.problems.size(), 1u);
  EXPECT_THAT(load.problems[0], HasSubstr("is a FIFO"));
  fs::create_symlink("/dev/zero", dir.path() / "zero.ini");
  EXPECT_THAT(LoadSettingsFile(dir.path() / "zero.ini").problems.at(0),
              HasSubstr("is a character device"));
  EXPECT_TRUE(LoadSettingsFile(dir.path() / "missing.ini").problems.empty());
}

// The copied files of a snapshot are outside data too: only regular files are read from them.
TEST(SnapshotFiles, CopiedTreeReadsOnlyRegularFiles) {
  tavrin::testing::TempDir dir;
  dir.Write("snapshot.json", kManifest);
  dir.Write("files/proc/version", "Linux 6.1\n");
  fs::create_directories(dir.path() / "files/etc");
  ASSERT_EQ(::mkfifo((dir.path() / "files/proc/cpuinfo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.path() / "files/etc/os-release");
  SnapshotOpen open = OpenSnapshot(dir.path());
  ASSERT_TRUE(open.services) << open.error;
  const FileReader& files = *open.services->files;

  const auto start = std::chrono::steady_clock::now();
  const auto fifo = files.ReadFile("/proc/cpuinfo");
  EXPECT_FALSE(fifo);
  EXPECT_EQ(fifo.source.status, Status::Malformed);
  EXPECT_THAT(fifo.source.detail, HasSubstr("is a FIFO"));
  const auto zero = files.ReadFile("/etc/os-release");
  EXPECT_THAT(zero.source.detail, HasSubstr("is a character device"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  EXPECT_EQ(files.ReadFile("/proc/version").value_or(""), "Linux 6.1\n");
  EXPECT_EQ(files.ReadFile("/proc/version", 4).value_or(""), "Linu") << "as a live read";
  EXPECT_EQ(files.ReadFile("/proc/missing").source.status, Status::Missing);
}

// os.json answers of the wrong shape or type are malformed answers naming the entry; none
// throws, and a fraction never becomes a whole number.
TEST(SnapshotFiles, OsAnswersOfTheWrongTypeNameTheEntry) {
  tavrin::testing::TempDir dir;
  dir.Write("snapshot.json", kManifest);
  dir.Write("os.json", R"({
    "Kernel": {"status": "ok", "source": "uname", "value": 5},
    "RootBirthTime": {"status": "ok", "source": "statx /", "value": 1e300},
    "OldestPackageRecord": {"status": "ok", "source": "dpkg", "value": [[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]},
    "CurrentUser": 7,
    "MachineId": {"status": "ok", "source": "x"},
    "TimeZone": {"status": "ok", "source": "x", "value": {"tzif": "!!"}},
    "Environment": {"status": "ok", "source": "env", "value": [1, 2]},
    "Locales": [1]})");
  SnapshotOpen open = OpenSnapshot(dir.path());
  ASSERT_TRUE(open.services) << open.error;
  const OsFacts& os = *open.services->os;
  struct Case {
    Provenance got;
    const char* detail;
  } cases[] = {
      {os.Kernel().source, "os.json entry \"Kernel\": [json.exception.type_error"},
      {os.RootBirthTime().source, "os.json entry \"RootBirthTime\": a number with a fraction"},
      {os.OldestPackageRecord().source, "os.json entry \"OldestPackageRecord\": nested too deeply"},
      {os.CurrentUser().source, "os.json entry \"CurrentUser\": not an answer"},
      {os.MachineId().source, "os.json entry \"MachineId\": no \"value\""},
      {os.TimeZone().source, "os.json entry \"TimeZone\": "},
      {open.services->environment->Variables().source, "os.json entry \""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got.status, Status::Malformed) << c.detail;
    EXPECT_THAT(c.got.detail, HasSubstr(c.detail));
  }
  EXPECT_EQ(open.services->locales->Describe("C").source.status, Status::NotSupported);
}

}  // namespace
}  // namespace tavrin::platform
