#include "report/report_document.h"

namespace tavrin::report {

std::vector<std::pair<const char*, const std::string*>> HeaderEntries(const ReportHeader& h) {
  return {{"program", &h.program},
          {"site", &h.site},
          {"generated", &h.generated},
          {"user", &h.user},
          {"version", &h.version},
          {"winversion", &h.winversion},
          {"systemname", &h.systemname},
          {"processorname", &h.processorname},
          {"installedmemory", &h.installedmemory}};
}

ReportDocument BuildReportDocument(ReportHeader header,
                                   const std::vector<const pages::Page*>& pages) {
  ReportDocument doc{std::move(header), {}};
  for (const pages::Page* page : pages) {
    for (const pages::Section& section : page->Sections()) {
      ReportSection out{section.Caption, {}};
      out.items.reserve(section.Items.size());
      for (const pages::TZuSectionItem& row : section.Items) {
        const auto sub = [&](std::size_t i) {
          return i < row.SubItems.size() ? row.SubItems[i] : std::string();
        };
        out.items.push_back({row.Caption, sub(0), sub(1), row.sensitive});
      }
      doc.sections.push_back(std::move(out));
    }
  }
  return doc;
}

}  // namespace tavrin::report
