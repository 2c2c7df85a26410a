// How often the processor rows a user sees agree with the reference values stored in the public
// CPUID dumps: the code name, cores and threads per package (CPU Properties) and the cache rows
// of System Devices. Every remaining difference is listed with the reason it stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/service_hooks.h"
#include "tests/collectors/cpu/cpu_fixture_support.h"

namespace tavrin::testing {
namespace {

// Where the reference is wrong, or where we decide otherwise on purpose: the dump, the field
// ("code", "cores", "threads", "cache") and why.
struct Difference {
  const char* file;
  const char* field;
  const char* reason;
};
#include "tests/collectors/cpu/cpu_reference_differences.inc"

// All expected-value sections of a dump (one per core type), 34 lines each.
std::vector<std::vector<std::string>> Sections(const std::string& file) {
  std::vector<std::vector<std::string>> sections;
  std::istringstream text(ReadText(CpuidFixtures() / file));
  std::string line;
  bool after = false;
  while (std::getline(text, line)) {
    if (line.size() == 80 && line.find_first_not_of('-') == std::string::npos) {
      after = true;
      sections.emplace_back();
      continue;
    }
    if (after) sections.back().push_back(line);
  }
  return sections;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> Alternatives(const std::string& code) {
  std::vector<std::string> out;
  std::stringstream in(Lower(code));
  std::string part;
  while (std::getline(in, part, '/')) {
    if (part.empty() || std::isdigit(static_cast<unsigned char>(part[0]))) continue;  // "512K"
    out.push_back(part);
    // "Raptor Lake-U" and "Raptor Lake-P" name one die; the segment letter is not compared.
    if (const auto dash = part.rfind('-'); dash != std::string::npos && dash + 4 >= part.size())
      out.push_back(part.substr(0, dash));
  }
  return out;
}

// The code name inside "Core i7 (Haswell)", or the whole text where there are no brackets.
std::string ReferenceCode(const std::string& line) {
  const auto open = line.rfind('(');
  const auto close = line.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return line;
  return line.substr(open + 1, close - open - 1);
}

bool CodesAgree(const std::string& ours, const std::string& reference) {
  if (ours.empty()) return false;
  const auto a = Alternatives(ours), b = Alternatives(reference);
  return std::any_of(a.begin(), a.end(), [&](const std::string& x) {
    return std::find(b.begin(), b.end(), x) != b.end();
  });
}

// `agree`: the reference's value; `right`: agreeing, or differing where the reference is wrong
// (a listed difference).
struct Tally {
  int agree = 0, right = 0, compared = 0;
  double Percent(int n) const { return compared ? 100.0 * n / compared : 0; }
};

TEST(CpuReferenceAgreement, CodeNameCountsAndCacheRowsAgreeExceptListedDifferences) {
  const auto fixtures = LoadCpuidFixtures();
  ASSERT_FALSE(fixtures.empty()) << "no CPUID fixtures at " << CpuidFixtures();
  std::map<std::string, Tally> tally;
  std::set<std::pair<std::string, std::string>> used;
  for (const auto& f : fixtures) {
    SCOPED_TRACE(f.file);
    const auto sections = Sections(f.file);
    ASSERT_FALSE(sections.empty());
    const auto cpu = CollectorFor(platform::LoadProcessorDumpFile(CpuidFixtures() / f.file));

    auto judge = [&](const char* field, bool agree, const std::string& detail) {
      auto& t = tally[field];
      ++t.compared;
      const Difference* listed = nullptr;
      for (const auto& d : kDifferences)
        if (f.file.find(d.file) != std::string::npos && std::string(field) == d.field) listed = &d;
      if (agree || listed) ++t.right;
      if (agree) {
        ++t.agree;
        EXPECT_EQ(listed, nullptr) << field << " agrees now; drop its listed difference";
      } else {
        EXPECT_NE(listed, nullptr) << "DIFFERENCE " << f.file << " " << field << ": " << detail;
      }
      if (listed) used.insert({listed->file, listed->field});
    };

    const std::string reference_code = ReferenceCode(sections[0][31]);
    judge("code", CodesAgree(cpu->CodeName(), reference_code),
          "ours '" + cpu->CodeName() + "', reference '" + reference_code + "'");

    // Counts per package, summed over the core types of a hybrid part.
    long cores = 0, threads = 0;
    bool known = true;
    for (const auto& s : sections) {
      if (s[8] == "-1" || s[9] == "-1") known = false;
      cores += std::atol(s[8].c_str());
      threads += std::atol(s[9].c_str());
    }
    if (known) {
      judge(
          "cores", cpu->CorePerPackage() == cores,
          "ours " + std::to_string(cpu->CorePerPackage()) + ", reference " + std::to_string(cores));
      judge("threads", cpu->LogicalPerPackage() == threads,
            "ours " + std::to_string(cpu->LogicalPerPackage()) + ", reference " +
                std::to_string(threads));
    }

    // The three cache rows of System Devices, from the first processor's caches.
    const auto& s = sections[0];
    const long ref[3] = {std::atol(s[10].c_str()) + std::atol(s[11].c_str()),
                         std::atol(s[12].c_str()), std::atol(s[13].c_str())};
    const auto rows = cpu->SystemDevicesCacheKB();
    bool agree = true;
    std::string detail;
    for (int i = 0; i < 3; ++i) {
      if (s[10 + i] == "-1" || (i == 0 && s[11] == "-1")) continue;
      const long want = std::max<long>(ref[i], 0);
      if (static_cast<long>(rows[i]) != want) agree = false;
      detail += " L" + std::to_string(i + 1) + " ours " + std::to_string(rows[i]) + " reference " +
                std::to_string(want);
    }
    judge("cache", agree, detail);
  }
  for (const auto& d : kDifferences)
    EXPECT_TRUE(used.count({d.file, d.field})) << "listed difference matches no dump: " << d.file;
  for (const auto& [field, t] : tally)
    std::printf("%-8s agree %3d of %3d (%.1f %%), right %3d (%.1f %%)\n", field.c_str(), t.agree,
                t.compared, t.Percent(t.agree), t.right, t.Percent(t.right));
  for (const auto& [field, t] : tally) {
    EXPECT_GE(t.Percent(t.right), 98.0) << field;
    EXPECT_GE(t.Percent(t.agree), 93.0) << field;
  }
}

}  // namespace
}  // namespace tavrin::testing
