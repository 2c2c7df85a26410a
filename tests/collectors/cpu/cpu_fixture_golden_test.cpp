// Every public CPUID dump identified by the processor collector: against the expected values
// stored in the dumps (another decoder's output), and against our own labeled goldens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "collectors/cpu/cpu_identify.h"
#include "platform/service_hooks.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"
#include "tests/support/golden.h"

namespace tavrin::testing {
namespace {

using collectors::TVexa_CPU;

// Where our counts or cache sizes differ from the reference decoder on purpose: the dump, the
// field, and why. A mismatch not listed here fails.
struct Deviation {
  const char* file;  ///< substring of the dump path
  const char* field;
  const char* reason;
};
#include "tests/collectors/cpu/cpu_fixture_deviations.inc"

const Deviation* FindDeviation(const std::string& file, const std::string& field) {
  for (const auto& d : kDeviations)
    if (file.find(d.file) != std::string::npos && field == d.field) return &d;
  return nullptr;
}

uint64_t CacheKB(const TVexa_CPU& cpu, int level, const char* type) {
  for (const auto& c : cpu.CacheDetails())
    if (c.level == level && (c.type == type || c.type == "Unified")) return c.sizeBytes / 1024;
  return 0;
}

// Our output for one dump as labeled lines.
std::string Golden(const TVexa_CPU& cpu) {
  std::ostringstream o;
  o << "vendor: " << collectors::VendorInfo(cpu.Vendor()).shortName << "\n"
    << "family: " << cpu.Family() << "\nmodel: " << cpu.Model() << "\nstepping: " << cpu.Stepping()
    << "\nbrand: " << cpu.MarketingName() << "\ngeneric: " << cpu.GenericName()
    << "\nname: " << cpu.CPUName() << "\ncode: " << cpu.CodeName()
    << "\nrevision: " << cpu.Revision() << "\ntechnology: " << cpu.Technology()
    << "\nlogical count: " << int(cpu.CPUCount()) << "\npackages: " << int(cpu.CPUPhysicalCount())
    << "\ncores per package: " << int(cpu.CorePerPackage())
    << "\nlogical per package: " << int(cpu.LogicalPerPackage())
    << "\ncores: " << cpu.PackageCores() << "\nthreads: " << cpu.PackageThreads()
    << "\nthreads per core: " << cpu.ThreadsPerCore() << "\napic id: " << int(cpu.APICID())
    << "\nserial: " << cpu.SerialNumber() << "\nhypervisor: " << cpu.Hypervisor()
    << "\nl1 code: " << cpu.Cache().Level1.Code.Size
    << "\nl1 data: " << cpu.Cache().Level1.Data.Size << "\nl2: " << cpu.Cache().Level2.Size
    << "\nl3: " << cpu.Cache().Level3.Size << "\ntrace: " << cpu.Cache().Trace.Size
    << "\nsystem devices cache rows: " << cpu.SystemDevicesCacheKB()[0] << " / "
    << cpu.SystemDevicesCacheKB()[1] << " / " << cpu.SystemDevicesCacheKB()[2]
    << "\ngeneric name given by: " << cpu.GenericNameGiver() << "\n";
  for (const auto& c : cpu.CacheDetails())
    o << "cache L" << c.level << " " << c.type << ": " << c.sizeBytes / 1024 << " KB, " << c.ways
      << " ways, " << c.lineSize << " B, shared by " << c.sharedBy << "\n";
  for (const auto& t : cpu.CoreTypes())
    o << "core type " << t.type << ": " << t.cores << " cores, " << t.threads << " threads\n";
  std::string features;
  for (const auto* set :
       {&cpu.Features().Standard1, &cpu.Features().Standard2, &cpu.Features().Extended1,
        &cpu.Features().Extended2, &cpu.Features().PowerManagement})
    for (const auto& r : set->Records())
      if (r.available) features += " " + std::to_string(r.set) + ":" + r.name;
  o << "features:" << features << "\n";
  std::string ext;
  for (const auto& e : cpu.Extensions())
    if (e.available) ext += " " + e.name;
  o << "extensions:" << ext << "\n";
  return o.str();
}

std::string GoldenName(const std::string& file) {
  std::string name = file;
  for (char& c : name)
    if (c == '/') c = '_';
  return name.substr(0, name.size() - 5) + ".txt";  // ".test" -> ".txt"
}

TEST(CpuFixtureGolden, EveryDumpIdentifiesAsTheReferenceAndAsOurGolden) {
  const auto fixtures = LoadCpuidFixtures();
  ASSERT_FALSE(fixtures.empty()) << "no CPUID fixtures at " << CpuidFixtures();
  const auto golden_dir = std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/cpu";
  int counted = 0;
  std::set<std::string> vendors_counted;
  for (const auto& f : fixtures) {
    SCOPED_TRACE(f.file);
    auto service = platform::LoadProcessorDumpFile(CpuidFixtures() / f.file);
    ASSERT_NE(service, nullptr);
    ASSERT_GE(f.expected.size(), 34u);
    const auto cpu = CollectorFor(service);

    // Identification: every dump.
    const std::string vendor_id = f.index.at("vendor_id");
    const char* vendor = collectors::VendorInfo(cpu->Vendor()).id;
    if (cpu->Vendor() == collectors::TCpuVendor::cvZhaoxin) {
      EXPECT_EQ(vendor_id, "CentaurHauls");  // Zhaoxin's first parts kept Centaur's string
    } else {
      EXPECT_EQ(vendor, vendor_id);
    }
    EXPECT_EQ(std::to_string(cpu->Family()), f.expected[6]);
    EXPECT_EQ(std::to_string(cpu->Model()), f.expected[7]);
    EXPECT_EQ(std::to_string(cpu->Stepping()), f.expected[5]);
    // The index holds the brand string as the reference printed it (without NULs and blanks).
    std::string brand = f.index.at("brand_string");
    if (brand == "-") brand.clear();
    EXPECT_EQ(collectors::TrimBrand(cpu->MarketingName()), brand);

    // Counts and cache sizes against the reference, deviations listed with their reason.
    // A hybrid part's first expected section describes its first core type.
    uint32_t cores = cpu->PackageCores(), threads = cpu->PackageThreads();
    for (const auto& t : cpu->CoreTypes())
      if (collectors::TrimBrand(t.type).rfind(
              f.expected[2] == "performance" ? "Performance" : "Efficiency", 0) == 0) {
        cores = t.cores;
        threads = t.threads;
        break;
      }
    const std::pair<std::string, std::string> checks[] = {
        {"cores", std::to_string(cores)},
        {"threads", std::to_string(threads)},
        {"l1d", std::to_string(CacheKB(*cpu, 1, "Data"))},
        {"l1i", std::to_string(CacheKB(*cpu, 1, "Instruction"))},
        {"l2", std::to_string(CacheKB(*cpu, 2, "Unified"))},
        {"l3", std::to_string(CacheKB(*cpu, 3, "Unified"))},
    };
    const int lines[] = {8, 9, 10, 11, 12, 13};
    bool all_agree = true;
    for (int i = 0; i < 6; ++i) {
      const std::string& expected = f.expected[lines[i]];
      if (expected == "-1") continue;  // the reference could not tell
      if (checks[i].second == expected) continue;
      all_agree = false;
      EXPECT_NE(FindDeviation(f.file, checks[i].first), nullptr)
          << "MISMATCH " << f.file << " " << checks[i].first << ": ours " << checks[i].second
          << ", reference " << expected;
    }
    if (all_agree) {
      ++counted;
      vendors_counted.insert(vendor_id);
    }

    // Our own output.
    const auto golden_file = golden_dir / GoldenName(f.file);
    EXPECT_TRUE(MatchesGolden(golden_file, Golden(*cpu)));
  }
  // The full agreement must hold on a spread of machines, not a few.
  EXPECT_GE(counted, 20);
  EXPECT_GE(vendors_counted.size(), 3u);
}

}  // namespace
}  // namespace tavrin::testing
