#include "report/report_folder.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "tests/helpers/test_support.h"

namespace tavrin::report {
namespace {

namespace fs = std::filesystem;
using helpers::test::TempFolder;

ReportFolderInputs Inputs(const TempFolder& tmp, const fs::path& documents) {
  return {documents.string(), (tmp / "data").string()};
}

TEST(ReportFolder, IsTheDocumentsFolderMadeWithItsParents) {
  TempFolder tmp;
  const std::string folder = ChooseReportFolder(Inputs(tmp, tmp / "home/Documents"));
  EXPECT_EQ(folder, (tmp / "home/Documents/").string());
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST(ReportFolder, DocumentsFolderFollowsXdgThenUserDirsThenHomeDocuments) {
  TempFolder tmp;
  helpers::test::IsolatedUser user(tmp.path());
  helpers::test::ScopedEnv home("HOME", (tmp / "home").string());
  {
    helpers::test::ScopedEnv xdg("XDG_DOCUMENTS_DIR", (tmp / "Docs").string());
    EXPECT_EQ(DocumentsFolder(), (tmp / "Docs").string());
  }
  helpers::test::ScopedEnv no_xdg("XDG_DOCUMENTS_DIR", "");
  // No documents folder yet: ~/Documents, never the home folder itself.
  EXPECT_EQ(DocumentsFolder(), (tmp / "home/Documents").string());
  helpers::test::WriteText(tmp / "config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
  fs::create_directories(tmp / "home/Papiere");
  EXPECT_EQ(DocumentsFolder(), (tmp / "home/Papiere").string());
}

TEST(ReportFolder, FallsBackWhenTheDocumentsFolderCannotBeMade) {
  TempFolder tmp;
  helpers::test::WriteText(tmp / "file", "a file where a folder should be");
  const std::string folder = ChooseReportFolder(Inputs(tmp, tmp / "file"));
  EXPECT_EQ(folder, (tmp / "data/Reports/System Information/").string());
  EXPECT_TRUE(fs::is_directory(folder));
}

TEST(ReportFolder, FallsBackFromAReadOnlyDocumentsFolder) {
  TempFolder tmp;
  const fs::path documents = tmp / "Documents";
  fs::create_directories(documents);
  // Permissions do not stop root; a read-only mount does.
  bool mounted = false;
  if (geteuid() == 0) {
    mounted = mount("tmpfs", documents.c_str(), "tmpfs", MS_RDONLY, "size=64k") == 0;
    if (!mounted) GTEST_SKIP() << "running as root without the right to mount a read-only folder";
  } else {
    fs::permissions(documents, fs::perms::owner_read | fs::perms::owner_exec);
  }
  const std::string folder = ChooseReportFolder(Inputs(tmp, documents));
  if (mounted) umount(documents.c_str());
  fs::permissions(documents, fs::perms::owner_all);
  EXPECT_EQ(folder, (tmp / "data/Reports/System Information/").string());
}

TEST(ReportFolder, BothFailingStillNamesTheFallback) {
  TempFolder tmp;
  helpers::test::WriteText(tmp / "file", "x");
  ReportFolderInputs in = Inputs(tmp, tmp / "file");
  in.data = (tmp / "file/data").string();
  EXPECT_EQ(ChooseReportFolder(in), (tmp / "file/data/Reports/System Information/").string());
}

}  // namespace
}  // namespace tavrin::report
