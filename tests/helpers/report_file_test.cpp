// Report files are replaced in one step or not at all.
#include "helpers/librepgen/report_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <memory>
#include <thread>

#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteText;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ReportFile, ReplacesOrKeepsAnEarlierFile) {
  TempFolder tmp;
  const std::string file = (tmp / "SysInfo.txt").string();
  ASSERT_TRUE(WriteFileAtomically(file, "one").ok);
  ASSERT_TRUE(WriteFileAtomically(file, "two").ok);
  EXPECT_EQ(ReadBytes(file), "two");
  const ReportSaveResult kept = WriteFileAtomically(file, "three", /*replace=*/false);
  EXPECT_FALSE(kept.ok);
  EXPECT_EQ(ReadBytes(file), "two");
  EXPECT_EQ(EntriesIn(tmp.path()), 1u);  // no temporary file left behind
  // A new report is readable by others, as any new file would be (umask 022 here).
  const mode_t old = umask(022);
  ASSERT_TRUE(WriteFileAtomically((tmp / "new.txt").string(), "x").ok);
  umask(old);
  EXPECT_EQ(fs::status(tmp / "new.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}

TEST(ReportFile, MissingFolderNamesThePathAndTheReason) {
  const ReportSaveResult r = WriteFileAtomically("/nonexistent-tavrin/SysInfo.xml", "x");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.fileName, "/nonexistent-tavrin/SysInfo.xml");
  EXPECT_NE(r.error.find("No such file or directory"), std::string::npos) << r.error;
}

// A full file system: a small tmpfs where root may mount one, else a file-size limit, which
// fails the write the same way from the writer's point of view.
TEST(ReportFile, FullFileSystemLeavesTheEarlierReportAndNoPartialFile) {
  TempFolder tmp;
  const fs::path folder = tmp / "full";
  fs::create_directories(folder);
  const bool mounted =
      geteuid() == 0 && mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
  // Unmounted on every way out, so a failed check cannot leave the mount behind.
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> unmount(
      mounted ? &folder : nullptr, [](const fs::path* p) { umount(p->c_str()); });
  const std::string file = (folder / "SysInfo.html").string();
  ASSERT_TRUE(WriteFileAtomically(file, "earlier report").ok);

  const std::string huge(mounted ? 1 << 20 : 1 << 16, 'x');
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  sighandler_t old_handler = SIG_DFL;
  if (!mounted) {
    old_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  const ReportSaveResult r = WriteFileAtomically(file, huge);
  if (!mounted) {
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
  }
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.fileName, file);
  EXPECT_NE(r.error.find(mounted ? "No space left on device" : "File too large"), std::string::npos)
      << r.error;
  EXPECT_EQ(ReadBytes(file), "earlier report");
  EXPECT_EQ(EntriesIn(folder), 1u);
}

// Output paths: only a regular file is replaced; everything else keeps what it is.
TEST(ReportFile, SymbolicLinkStaysALinkAndItsTargetIsReplacedOrCreated) {
  TempFolder tmp;
  fs::create_directories(tmp / "real");
  ASSERT_TRUE(WriteFileAtomically((tmp / "real/report.txt").string(), "old").ok);
  fs::create_symlink("real/report.txt", tmp / "link.txt");
  fs::create_symlink("link.txt", tmp / "chain.txt");
  ASSERT_TRUE(WriteFileAtomically((tmp / "chain.txt").string(), "new").ok);
  EXPECT_TRUE(fs::is_symlink(tmp / "link.txt"));
  EXPECT_TRUE(fs::is_symlink(tmp / "chain.txt"));
  EXPECT_EQ(ReadBytes(tmp / "real/report.txt"), "new");
  EXPECT_EQ(EntriesIn(tmp / "real"), 1u);

  fs::create_symlink(tmp / "real/later.txt", tmp / "dangling.txt");
  ASSERT_TRUE(WriteFileAtomically((tmp / "dangling.txt").string(), "made").ok);
  EXPECT_TRUE(fs::is_symlink(tmp / "dangling.txt"));
  EXPECT_EQ(ReadBytes(tmp / "real/later.txt"), "made");

  fs::create_symlink("loop", tmp / "loop");
  const ReportSaveResult loop = WriteFileAtomically((tmp / "loop").string(), "x");
  EXPECT_FALSE(loop.ok);
  EXPECT_NE(loop.error.find("Too many levels of symbolic links"), std::string::npos) << loop.error;
  const ReportSaveResult folder = WriteFileAtomically(tmp.path().string(), "x");
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.error.find("Is a directory"), std::string::npos) << folder.error;
}

TEST(ReportFile, DevicesFifosAndDescriptorsAreWrittenThrough) {
  TempFolder tmp;
  // /dev/full takes nothing: the reason comes back and the device stays a device.
  const ReportSaveResult full = WriteFileAtomically("/dev/full", "report");
  EXPECT_FALSE(full.ok);
  EXPECT_NE(full.error.find("No space left on device"), std::string::npos) << full.error;
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_TRUE(WriteFileAtomically("/dev/null", "report").ok);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  const fs::path fifo = tmp / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadBytes(fifo); });
  EXPECT_TRUE(WriteFileAtomically(fifo.string(), "through the fifo").ok);
  reader.join();
  EXPECT_EQ(received, "through the fifo");
  EXPECT_TRUE(fs::is_fifo(fifo));

  // A file opened for appending, named through its descriptor as /dev/stdout would be: the
  // bytes go after what is there, into the same file.
  const fs::path file = tmp / "appended.txt";
  WriteText(file, "head\n");
  const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  struct stat before {};
  ASSERT_EQ(fstat(fd, &before), 0);
  EXPECT_TRUE(WriteFileAtomically("/proc/self/fd/" + std::to_string(fd), "report").ok);
  close(fd);
  EXPECT_EQ(ReadBytes(file), "head\nreport");
  struct stat after {};
  ASSERT_EQ(stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(EntriesIn(tmp.path()), 2u);

  // A pipe as standard output would be: the bytes arrive through it.
  int ends[2];
  ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
  EXPECT_TRUE(WriteFileAtomically("/proc/self/fd/" + std::to_string(ends[1]), "piped").ok);
  close(ends[1]);
  char got[16] = {};
  EXPECT_EQ(read(ends[0], got, sizeof got), 5);
  close(ends[0]);
  EXPECT_STREQ(got, "piped");
}

}  // namespace
}  // namespace tavrin::helpers
