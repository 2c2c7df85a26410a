// Costs of the pieces every page and every snapshot go through.
#include <benchmark/benchmark.h>

#include "bench/bench_rows.h"
#include "pages/page_model.h"
#include "platform/reg_text.h"

namespace {

using namespace tavrin;

// A full page refill: 5000 rows of the length real pages have.
void BM_AddItem5000Rows(benchmark::State& state) {
  const bench::BenchRows rows;
  pages::Page page("bench", "BenchView", {{"Section", 0, {}, {}}});
  for (auto _ : state) {
    page.ClearItems();
    for (int i = 0; i < 5000; ++i)
      pages::AddItem(rows.ctx, page, 0, "Row label number:", "  some  value  text  " + std::to_string(i), "", false);
    benchmark::DoNotOptimize(page.RowCount());
  }
}
BENCHMARK(BM_AddItem5000Rows)->Unit(benchmark::kMillisecond);

// Reading a registry export of the size a Windows snapshot has (a few thousand values).
void BM_ParseRegText(benchmark::State& state) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  for (int k = 0; k < 500; ++k) {
    text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bench\\Key" + std::to_string(k) + "]\r\n";
    text += "\"Name\"=\"Some product name " + std::to_string(k) + "\"\r\n";
    text += "\"Count\"=dword:0000002a\r\n";
    text += "\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
            "  25,00,00,00\r\n";
    text += "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10\r\n\r\n";
  }
  for (auto _ : state) {
    platform::RegistryTree tree;
    benchmark::DoNotOptimize(platform::ParseRegText(text, tree).ok);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseRegText)->Unit(benchmark::kMillisecond);

}  // namespace
