// This machine's drives against df and its storage devices against lsblk, when the commands
// exist: every real file system df lists is a drive with df's size and (nearly) its free
// space, and every device lsblk lists is a device with lsblk's size and flags.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "collectors/storage/vsi_disk.h"
#include "collectors/storage/vsi_storage.h"
#include "platform/service_hooks.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

std::string Output(const char* command) {
  std::string out;
  FILE* pipe = ::popen(command, "r");
  if (!pipe) return out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

bool Exists(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// This machine's files and storage service, as the live service set adds them.
std::shared_ptr<const platform::Services> Live() {
  auto services = std::make_shared<platform::Services>();
  services->files = std::make_shared<platform::FileReader>("/");
  services->system = std::make_shared<testing::FixedSystemFacts>();
  services->live = true;
  platform::AddLinuxStorage(*services);
  return services;
}

TEST(StorageCompare, DrivesMatchDf) {
  if (!Exists("df")) GTEST_SKIP() << "df is not installed";
  TVexa_Disk disk(Live());
  disk.RefreshData();
  std::map<std::string, const TDiskInfo*> byMount;
  for (const auto& d : disk.Drives()) byMount[d.Disk] = &d;
  std::istringstream lines(Output("df -B1 --output=source,fstype,size,avail,target 2>/dev/null"));
  std::string line;
  std::getline(lines, line);  // heading
  int compared = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string source, type, target;
    uint64_t size = 0, avail = 0;
    if (!(fields >> source >> type >> size >> avail) || !std::getline(fields >> std::ws, target))
      continue;
    // Real file systems: those on a block device node or a network share.
    const bool block = source.rfind("/dev/", 0) == 0 && type != "squashfs";
    const bool network = type.rfind("nfs", 0) == 0 || type == "cifs" || type == "smb3";
    if (!block && !network) continue;
    auto it = byMount.find(target);
    if (it == byMount.end()) {
      // df lists a device once per mount; a bind mount of a directory is no drive of its own.
      bool sameDevice = false;
      for (const auto& d : disk.Drives()) sameDevice |= d.MountSource == source;
      EXPECT_TRUE(sameDevice) << "df lists " << target << " (" << source << "), we do not";
      continue;
    }
    const TDiskInfo& d = *it->second;
    EXPECT_EQ(d.FileSystem, type) << target;
    EXPECT_EQ(static_cast<uint64_t>(d.Capacity), size) << target;
    // Free space moves while both look: allow 64 MB between the two readings.
    EXPECT_NEAR(static_cast<double>(d.FreeSpace), static_cast<double>(avail), 64.0 * (1 << 20))
        << target;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "df lists no block-backed file system here";
}

// lsblk -P prints KEY="value" pairs; values may hold blanks.
std::map<std::string, std::string> Pairs(const std::string& line) {
  std::map<std::string, std::string> pairs;
  std::size_t i = 0;
  while (i < line.size()) {
    const auto eq = line.find("=\"", i);
    if (eq == std::string::npos) break;
    const auto end = line.find('"', eq + 2);
    if (end == std::string::npos) break;
    std::string key = line.substr(i, eq - i);
    key.erase(0, key.find_first_not_of(' '));
    pairs[key] = line.substr(eq + 2, end - eq - 2);
    i = end + 1;
  }
  return pairs;
}

TEST(StorageCompare, DevicesMatchLsblk) {
  if (!Exists("lsblk")) GTEST_SKIP() << "lsblk is not installed";
  TVexa_Storage storage(Live());
  storage.RefreshData();
  std::map<std::string, const TDeviceInfo*> byName;
  for (const auto& d : storage.PhysicalDevices()) byName[d.Name] = &d;
  std::istringstream lines(
      Output("lsblk -b -d -P -o NAME,SIZE,ROTA,RM,MODEL,SERIAL,TRAN 2>/dev/null"));
  std::string line;
  int compared = 0;
  while (std::getline(lines, line)) {
    auto f = Pairs(line);
    if (f["NAME"].empty()) continue;
    auto it = byName.find(f["NAME"]);
    ASSERT_NE(it, byName.end()) << "lsblk lists " << f["NAME"] << ", we do not";
    const TDeviceInfo& d = *it->second;
    EXPECT_EQ(std::to_string(d.Size), f["SIZE"]) << d.Name;
    EXPECT_EQ(d.Rotational.value_or(false) ? "1" : "0", f["ROTA"]) << d.Name;
    EXPECT_EQ(d.Removable ? "1" : "0", f["RM"]) << d.Name;
    // Without the udev database lsblk leaves model and serial out where sysfs has them; what
    // it does print must agree.
    if (!f["MODEL"].empty() && !d.IdentifySource.ok()) {
      EXPECT_EQ(d.Model, f["MODEL"]) << d.Name;
    }
    if (!f["SERIAL"].empty()) {
      EXPECT_EQ(d.SerialNumber, f["SERIAL"]) << d.Name;
    }
    if (!f["TRAN"].empty()) {
      EXPECT_EQ(d.Transport, f["TRAN"]) << d.Name;
    }
    byName.erase(it);
    ++compared;
  }
  for (const auto& [name, d] : byName) ADD_FAILURE() << name << " is listed here but not by lsblk";
  if (compared == 0) GTEST_SKIP() << "lsblk lists no devices here";
}

}  // namespace
}  // namespace tavrin::collectors
