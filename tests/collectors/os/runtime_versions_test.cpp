#include "collectors/os/runtime_versions.h"

#include <gtest/gtest.h>

#include "collectors/os/runtime_tables.h"

namespace tavrin::collectors {
namespace {

TEST(RuntimeVersions, PackageVersionsAndProgramAnswers) {
  EXPECT_EQ(UpstreamVersion("3.11.2-1+b1"), "3.11.2");
  EXPECT_EQ(UpstreamVersion("1:5.36.0-7+deb12u1"), "5.36.0");
  EXPECT_EQ(UpstreamVersion("18.19.0+dfsg-6~deb12u1"), "18.19.0");
  EXPECT_EQ(UpstreamVersion("17.0.9+9-1~deb12u1"), "17.0.9+9");
  EXPECT_EQ(UpstreamVersion("7.4.7"), "7.4.7");

  EXPECT_EQ(VersionInOutput("Python 3.11.2\n"), "3.11.2");
  EXPECT_EQ(VersionInOutput("openjdk version \"17.0.9\" 2023-10-17\nOpenJDK Runtime"), "17.0.9");
  EXPECT_EQ(VersionInOutput("v18.19.0\n"), "18.19.0");
  EXPECT_EQ(VersionInOutput("psql (PostgreSQL) 15.5 (Debian 15.5-0+deb12u1)"), "15.5");
  EXPECT_EQ(VersionInOutput("mysql  Ver 15.1 Distrib 10.11.4-MariaDB, for debian-linux-gnu"),
            "10.11.4");
  EXPECT_EQ(VersionInOutput("ruby 3.1.2p20 (2022-04-12 revision 4491bb740a) [x86_64-linux-gnu]"),
            "3.1.2");
  EXPECT_EQ(VersionInOutput("x86_64 build 12 only"), "");
  EXPECT_EQ(VersionInOutput(""), "");

  EXPECT_EQ(JavaReleaseVersion("IMPLEMENTOR=\"Debian\"\nJAVA_VERSION=\"17.0.9\"\n"), "17.0.9");
  EXPECT_EQ(JavaReleaseVersion("OS_NAME=\"Linux\"\n"), "");
}

TEST(RuntimeVersions, PackageNamePatterns) {
  EXPECT_TRUE(PackageNameMatches("openjdk-#-jre-headless", "openjdk-17-jre-headless"));
  EXPECT_FALSE(PackageNameMatches("openjdk-#-jre-headless", "openjdk-x-jre-headless"));
  EXPECT_TRUE(PackageNameMatches("postgresql-#", "postgresql-15"));
  EXPECT_FALSE(PackageNameMatches("postgresql-#", "postgresql-client-15"));
  EXPECT_TRUE(PackageNameMatches("php#.#-cli", "php8.2-cli"));
  EXPECT_TRUE(PackageNameMatches("mysql-server-core-*", "mysql-server-core-8.0"));
  EXPECT_TRUE(PackageNameMatches("python3", "python3"));
  EXPECT_FALSE(PackageNameMatches("python3", "python3-apt"));
}

TEST(RuntimeVersions, TablesNameEachIdOnce) {
  std::vector<std::string_view> ids;
  for (const RuntimeRow& row : RuntimeRows()) ids.push_back(row.id);
  for (const ProductRow& row : BrowserRows()) ids.push_back(row.id);
  for (const OfficeSuiteRow& row : OfficeSuiteRows()) ids.push_back(row.product.id);
  std::vector<std::string_view> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

}  // namespace
}  // namespace tavrin::collectors
