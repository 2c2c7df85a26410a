#include "collectors/os/dpkg_status.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

constexpr std::string_view kStatus =
    "Package: bash\n"
    "Status: install ok installed\n"
    "Priority: required\n"
    "Installed-Size: 7164\n"
    "Maintainer: Matthias Klose <doko@debian.org>\n"
    "Architecture: amd64\n"
    "Version: 5.2.15-2+b2\n"
    "Description: GNU Bourne Again SHell\n"
    " Bash is an sh-compatible command language interpreter.\n"
    " .\n"
    " Version: 99 is not a field of this paragraph\n"
    "Homepage: http://tiswww.case.edu/php/chet/bash/bashtop.html\n"
    "\n"
    "Package: oldtool\n"
    "Status: deinstall ok config-files\n"
    "Architecture: all\n"
    "Version: 1.0-1\n"
    "\n"
    "Package: nosize\n"
    "Status: install ok installed\n"
    "Architecture: amd64\n"
    "Multi-Arch: same\n"
    "Version: 2:1.2\n"
    "\n"
    "Package: gone\n"
    "Status: purge ok not-installed\n"
    "\n";

TEST(DpkgStatus, ParagraphsFieldsAndStates) {
  const auto packages = ParseDpkgStatus(kStatus);
  ASSERT_EQ(packages.size(), 4u);
  const DpkgPackage& bash = packages[0];
  EXPECT_EQ(bash.name, "bash");
  EXPECT_EQ(bash.version, "5.2.15-2+b2") << "continuation lines never set a field";
  EXPECT_EQ(bash.summary, "GNU Bourne Again SHell");
  EXPECT_EQ(bash.maintainer, "Matthias Klose <doko@debian.org>");
  EXPECT_EQ(bash.installedSizeKiB, 7164u);
  EXPECT_EQ(bash.homepage, "http://tiswww.case.edu/php/chet/bash/bashtop.html");
  EXPECT_TRUE(DpkgKnowsPackage(bash));
  EXPECT_TRUE(DpkgFilesPresent(bash));

  const DpkgPackage& old = packages[1];
  EXPECT_EQ(old.want, "deinstall");
  EXPECT_EQ(old.state, "config-files");
  EXPECT_TRUE(DpkgKnowsPackage(old)) << "dpkg-query lists packages whose configuration stays";
  EXPECT_FALSE(DpkgFilesPresent(old));

  EXPECT_FALSE(packages[2].installedSizeKiB.has_value());
  EXPECT_EQ(DpkgListName(packages[2], false), "nosize.list");
  EXPECT_EQ(DpkgListName(packages[2], true), "nosize:amd64.list");
  EXPECT_FALSE(DpkgKnowsPackage(packages[3]));
}

TEST(DpkgStatus, DamagedAndUnusualText) {
  // CR LF line ends, lower-case field names, a line without a colon, a bad size, a paragraph
  // without a name and one cut off in the middle (a file caught while dpkg writes it anew).
  const std::string text =
      "package: crlf\r\nstatus: install ok installed\r\nversion: 1\r\n\r\n"
      "garbage line without colon\n"
      "Package: badsize\nInstalled-Size: 12kB\nStatus: install ok installed\n\n"
      "Version: 3\nStatus: install ok installed\n\n"
      "Package: cut\nStatus: install ok unpa";
  const auto packages = ParseDpkgStatus(text);
  ASSERT_EQ(packages.size(), 3u);
  EXPECT_EQ(packages[0].name, "crlf");
  EXPECT_EQ(packages[0].version, "1");
  EXPECT_EQ(packages[1].name, "badsize");
  EXPECT_FALSE(packages[1].installedSizeKiB.has_value());
  EXPECT_EQ(packages[2].name, "cut");
  EXPECT_EQ(packages[2].state, "unpa");
  EXPECT_FALSE(DpkgFilesPresent(packages[2]));
  EXPECT_TRUE(ParseDpkgStatus("").empty());
  EXPECT_TRUE(ParseDpkgStatus("\n\n\n").empty());
}

TEST(DpkgStatus, JournalEntriesReplaceAndAdd) {
  auto packages = ParseDpkgStatus(kStatus);
  const std::string upgrade =
      "Package: bash\nStatus: install ok half-configured\nArchitecture: amd64\nVersion: 5.2.21-1\n";
  const std::string added = "Package: newpkg\nStatus: install ok unpacked\nVersion: 0.1\n";
  const std::string otherArch =
      "Package: bash\nStatus: install ok installed\nArchitecture: i386\nVersion: 5.2.21-1\n";
  ApplyDpkgUpdates(packages,
                   {ParseDpkgStatus(upgrade), ParseDpkgStatus(added), ParseDpkgStatus(otherArch)});
  ASSERT_EQ(packages.size(), 6u);
  EXPECT_EQ(packages[0].version, "5.2.21-1");
  EXPECT_TRUE(DpkgFilesPresent(packages[0]));
  EXPECT_EQ(packages[4].name, "newpkg");
  EXPECT_EQ(packages[5].architecture, "i386") << "another architecture is another package";
}

}  // namespace
}  // namespace tavrin::collectors
