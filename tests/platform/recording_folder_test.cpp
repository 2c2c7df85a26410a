// Recording: --record writes only into a new or empty folder or over a snapshot of ours,
// never deletes what it did not write, and keeps the snapshot private (0700 folders, 0600
// files) whatever the umask.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/recording/recorder.h"
#include "platform/recording/snapshot_folder.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::TempDir;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

class RecordingFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.Write("proc/cpuinfo", "processor\t: 0\n");
    machine.Write("etc/os-release", "NAME=Test\n");
    old_umask = ::umask(022);
  }
  void TearDown() override { ::umask(old_umask); }

  // Records the machine tree into `dir` the way a gathering would touch it.
  std::string Record(const fs::path& dir, bool* replaced = nullptr) {
    SnapshotRecorder recorder(dir, *testing::MakeTestServices(machine.path(), true));
    if (replaced) *replaced = recorder.ReplacesSnapshot();
    (void)recorder.services().files->ReadFile("/proc/cpuinfo");
    (void)recorder.services().files->ReadFile("/etc/os-release");
    (void)recorder.services().system->UserName();
    std::string error;
    EXPECT_TRUE(recorder.Finish(&error)) << error;
    return error;
  }

  TempDir machine;
  TempDir out;
  mode_t old_umask = 0;
};

TEST_F(RecordingFolder, RefusesAFolderOfOtherFilesAndDeletesNothing) {
  const fs::path d = out.path() / "d";
  for (const char* sub : {"files", "registry", "cpuid", "firmware", "docs"})
    fs::create_directories(d / sub);
  out.Write("d/docs/notes.txt", "mine");
  out.Write("d/system.json", "my own json");
  try {
    SnapshotRecorder recorder(d, *testing::MakeTestServices(machine.path(), true));
    FAIL() << "recorded into a folder of other files";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr(d.string() + ": holds files but no snapshot"));
  }
  for (const char* sub : {"files", "registry", "cpuid", "firmware", "docs"})
    EXPECT_TRUE(fs::is_directory(d / sub)) << sub;
  EXPECT_EQ(Slurp(d / "docs/notes.txt"), "mine");
  EXPECT_EQ(Slurp(d / "system.json"), "my own json");

  // A manifest of another program does not make the folder ours.
  out.Write("d/snapshot.json", R"({"format":"other","version":1})");
  EXPECT_THROW(SnapshotRecorder(d, *testing::MakeTestServices(machine.path(), true)),
               std::runtime_error);
  out.Write("file", "x");
  try {
    SnapshotRecorder recorder(out.path() / "file", *testing::MakeTestServices(machine.path()));
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("not a directory"));
  }
}

TEST_F(RecordingFolder, ReplacesOnlyItsOwnSnapshotAndSaysSo) {
  const fs::path d = out.path() / "snap";
  bool replaced = true;
  Record(d, &replaced);
  EXPECT_FALSE(replaced);
  ASSERT_TRUE(fs::exists(d / "files/proc/cpuinfo"));
  out.Write("snap/docs/notes.txt", "mine");
  out.Write("snap/files/stale", "from an earlier recording");

  Record(d, &replaced);
  EXPECT_TRUE(replaced);
  EXPECT_EQ(Slurp(d / "docs/notes.txt"), "mine");
  EXPECT_FALSE(fs::exists(d / "files/stale"));
  EXPECT_TRUE(fs::exists(d / "files/proc/cpuinfo"));

  fs::create_directories(out.path() / "empty");
  Record(out.path() / "empty", &replaced);
  EXPECT_FALSE(replaced);
  EXPECT_TRUE(fs::exists(out.path() / "empty/snapshot.json"));
}

TEST_F(RecordingFolder, SnapshotIsPrivateAndLinksLeftThereAreNotFollowed) {
  const fs::path d = out.path() / "new/snap";
  Record(d);
  EXPECT_EQ(ModeOf(d), 0700u);
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(d)) {
    if (entry.is_directory()) {
      EXPECT_EQ(ModeOf(entry.path()), 0700u) << entry.path();
    } else {
      EXPECT_EQ(ModeOf(entry.path()), 0600u) << entry.path();
      ++files;
    }
  }
  EXPECT_GE(files, 4u);

  // An empty folder given by the user becomes private too.
  const fs::path open_folder = out.path() / "open";
  fs::create_directories(open_folder);
  ::chmod(open_folder.c_str(), 0755);
  Record(open_folder);
  EXPECT_EQ(ModeOf(open_folder), 0700u);

  // A link left in an earlier snapshot is replaced by the new file, not written through.
  out.Write("outside.txt", "keep");
  fs::remove(d / "system.json");
  fs::create_symlink(out.path() / "outside.txt", d / "system.json");
  Record(d);
  EXPECT_EQ(Slurp(out.path() / "outside.txt"), "keep");
  EXPECT_FALSE(fs::is_symlink(d / "system.json"));
}

TEST(SnapshotFile, AFileInPlaceOfAFolderIsNamed) {
  TempDir out;
  out.Write("plain", "x");
  std::string error;
  EXPECT_FALSE(WriteSnapshotFile(out.path() / "plain/b", "x", &error));
  EXPECT_THAT(error, HasSubstr("plain: not a directory"));
}

}  // namespace
}  // namespace tavrin::platform
