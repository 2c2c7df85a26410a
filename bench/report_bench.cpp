// Writing each report kind for 5000 rows: the target is under 50 ms per report.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/bench_rows.h"
#include "gather/controller.h"
#include "report/report_generator.h"

namespace {

using namespace tavrin;

constexpr int kRows = 5000;

// Rows spread over every section of every reported page, with values of realistic length.
void FillRows(gather::TGetFunctionsClass& controller) {
  const bench::BenchRows rows;
  std::vector<pages::Page*> targets;
  for (const char* key :
       {"generalinfo", "wininfo", "sysdevinfo", "memoryinfo", "programsinfo", "networkinfo"})
    targets.push_back(controller.FindPage(key));
  for (int i = 0; i < kRows;) {
    for (pages::Page* page : targets) {
      for (std::size_t s = 0; s < page->Sections().size() && i < kRows; ++s, ++i)
        pages::AddItem(rows.ctx, *page, static_cast<int>(s),
                       "Row caption " + std::to_string(i) + ":",
                       "Value text of row " + std::to_string(i) + " with <markup> & \"quotes\"",
                       i % 3 ? "" : "a comment", false, {{}, i % 50 == 0});
    }
  }
}

void WriteKind(benchmark::State& state, report::ReportKind kind) {
  char folder_template[] = "/tmp/tavrin-bench-XXXXXX";
  const std::filesystem::path folder = mkdtemp(folder_template);
  gather::TGetFunctionsClass controller;
  FillRows(controller);
  report::TReportGenerator generator(controller, (folder / "SysInfo").string());
  generator.SetOpenResult(false);
  report::RegisterReportPages(generator, controller);
  const std::string file = (folder / "report").string();
  for (auto _ : state) {
    const helpers::ReportSaveResult result = generator.WriteReport(kind, file);
    if (!result.ok) state.SkipWithError(result.error.c_str());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove_all(folder);
}

void BM_ReportXml5000(benchmark::State& state) {
  WriteKind(state, report::ReportKind::Xml);
}
void BM_ReportHtml5000(benchmark::State& state) {
  WriteKind(state, report::ReportKind::Html);
}
void BM_ReportText5000(benchmark::State& state) {
  WriteKind(state, report::ReportKind::Text);
}
void BM_ReportJson5000(benchmark::State& state) {
  WriteKind(state, report::ReportKind::Json);
}

BENCHMARK(BM_ReportXml5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportHtml5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportText5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportJson5000)->Unit(benchmark::kMillisecond);

}  // namespace
