// The public CPUID dumps and their expected values, shared by the processor tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "collectors/cpu/vsi_cpu.h"
#include "platform/recorded/recorded_processor.h"
#include "tests/support/test_data.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {

inline std::filesystem::path CpuidFixtures() {
  return TestData("cpuid");
}

inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct CpuidFixture {
  std::string file;                          ///< relative path, "amd/k6/amd-k6.test"
  std::map<std::string, std::string> index;  ///< columns of index.tsv
  std::vector<std::string> expected;         ///< the first expected-value section, 34 lines
};

/// Every dump listed in index.tsv, in its order.
inline std::vector<CpuidFixture> LoadCpuidFixtures() {
  std::vector<CpuidFixture> out;
  std::istringstream tsv(ReadText(CpuidFixtures() / "index.tsv"));
  std::string line;
  std::vector<std::string> header;
  while (std::getline(tsv, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    std::string col;
    while (std::getline(ss, col, '\t')) cols.push_back(col);
    if (header.empty()) {
      header = cols;
      continue;
    }
    CpuidFixture f;
    for (std::size_t i = 0; i < cols.size() && i < header.size(); ++i) f.index[header[i]] = cols[i];
    f.file = f.index["file"];
    std::istringstream text(ReadText(CpuidFixtures() / f.file));
    bool after = false;
    while (std::getline(text, line)) {
      if (line.size() == 80 && line.find_first_not_of('-') == std::string::npos) {
        if (after) break;
        after = true;
        continue;
      }
      if (after) f.expected.push_back(line);
    }
    out.push_back(std::move(f));
  }
  return out;
}

/// A refreshed processor collector over one dump file (no frequency: dumps carry no rate).
inline std::unique_ptr<collectors::TVexa_CPU> CollectorFor(
    std::shared_ptr<const platform::ProcessorService> processor, uint8_t index = 0) {
  auto services = std::make_shared<platform::Services>(*MakeTestServices("/nonexistent"));
  services->processor = std::move(processor);
  auto cpu = std::make_unique<collectors::TVexa_CPU>(services);
  cpu->SetCPUIndex(index);
  cpu->RefreshData();
  return cpu;
}

}  // namespace tavrin::testing
