// The collectors on the machine the tests run on, compared with what the system's own tools
// say. Skipped where the tools are missing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "platform/linux/run_limited.h"
#include "platform/software_probes.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

std::shared_ptr<const platform::Services> ThisMachine() {
  auto services = std::make_shared<platform::Services>(*testing::MakeTestServices("/", true));
  services->software = platform::MakeLinuxSoftwareService(
      services->files, platform::MakeLiveSoftwareProbes("/"), "");
  return services;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(SoftwareThisMachine, PackagesMatchDpkgQuery) {
  const std::string tool = "/usr/bin/dpkg-query";
  if (!std::filesystem::exists(tool)) GTEST_SKIP() << "no dpkg here";
  auto listed = platform::RunLimited(tool, {"-W", "-f", "${Package}\\t${Version}\\n"},
                                     std::chrono::seconds(60), 64u << 20);
  ASSERT_TRUE(listed) << listed.source.Explain();
  std::multimap<std::string, std::string> versions;
  for (const std::string& line : Lines(*listed)) {
    const auto tab = line.find('\t');
    versions.emplace(line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1));
  }

  TVexa_Software software(ThisMachine());
  software.RefreshData();
  EXPECT_EQ(static_cast<std::size_t>(software.Count()), versions.size());
  // Five packages spread over the list, each with the version dpkg-query gives.
  ASSERT_GT(software.Count(), 0);
  for (int i = 0; i < 5; ++i) {
    const TSoftwareRecord& r = software.Record(i * (software.Count() - 1) / 4);
    auto [first, last] = versions.equal_range(r.Name);
    ASSERT_NE(first, last) << r.Name;
    bool matched = false;
    for (auto it = first; it != last; ++it) matched = matched || it->second == r.Version;
    EXPECT_TRUE(matched) << r.Name << " " << r.Version;
  }
}

TEST(SoftwareThisMachine, StartupMatchesFoldersAndEnabledUnits) {
  TVexa_Startup startup(ThisMachine());
  startup.RefreshData();
  // Every entry of the system autostart folder is listed, unless it switches itself off.
  std::size_t expected = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/etc/xdg/autostart", ec)) {
    if (entry.path().extension() != ".desktop") continue;
    auto text = platform::FileReader("/").ReadFile(entry.path().string());
    if (text && text->find("Hidden=true") == std::string::npos &&
        text->find("X-GNOME-Autostart-enabled=false") == std::string::npos)
      ++expected;
  }
  EXPECT_EQ(startup.XdgSystem_Runs.size(), expected);

  const std::string systemctl = "/usr/bin/systemctl";
  if (!std::filesystem::exists(systemctl)) GTEST_SKIP() << "no systemctl here";
  auto enabled = platform::RunLimited(
      systemctl, {"list-unit-files", "--state=enabled", "--no-legend", "--no-pager"},
      std::chrono::seconds(30));
  if (!enabled) GTEST_SKIP() << enabled.source.Explain();
  std::vector<std::string> units;
  for (const std::string& line : Lines(*enabled)) units.push_back(line.substr(0, line.find(' ')));
  std::vector<std::string> ours;
  for (const std::string& line : startup.SystemdSystem_Runs)
    ours.push_back(line.substr(0, line.find('=')));
  // systemctl names a template ("getty@.service") where its link names the instance.
  for (std::string& unit : ours)
    if (auto at = unit.find('@'); at != std::string::npos)
      unit = unit.substr(0, at + 1) + unit.substr(unit.rfind('.'));
  std::sort(units.begin(), units.end());
  std::sort(ours.begin(), ours.end());
  EXPECT_EQ(ours, units);
}

}  // namespace
}  // namespace tavrin::collectors
