#include "report/report_document.h"

#include "pages/categories.h"
#include "pages/markup.h"

namespace tavrin::report {
namespace {

ReportRow ShownRow(const pages::TZuSectionItem& row) {
  const auto sub = [&](std::size_t i) {
    return i < row.SubItems.size() ? row.SubItems[i] : std::string();
  };
  ReportRow out{row.Caption, sub(0), sub(1), row.sensitive};
  out.id = row.id.empty() ? pages::IdentifierOf(row.Caption) : row.id;
  out.source = row.source;
  out.quantity = row.quantity;
  return out;
}

ReportRow MissingRow(const pages::MissingValue& value) {
  ReportRow out{value.label, {}, {}, false};
  out.id = value.id.empty() ? pages::IdentifierOf(value.label) : value.id;
  out.missing = true;
  out.reason = value.reason;
  return out;
}

ReportSection SectionOf(const pages::Section& section) {
  ReportSection out{section.Caption, {}};
  out.id = section.id.empty() ? pages::IdentifierOf(section.Caption) : section.id;
  out.empty_reason = pages::EmptySectionReason(section);
  out.items.reserve(section.Items.size() + section.missing.size());
  std::size_t next_missing = 0;
  for (std::size_t r = 0; r <= section.Items.size(); ++r) {
    while (next_missing < section.missing.size() && section.missing[next_missing].position <= r)
      out.items.push_back(MissingRow(section.missing[next_missing++]));
    if (r < section.Items.size()) out.items.push_back(ShownRow(section.Items[r]));
  }
  return out;
}

}  // namespace

bool ReportSection::HasShownRows() const {
  for (const ReportRow& row : items)
    if (!row.missing) return true;
  return false;
}

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
    ReportPage out{page->categoryKey(), page->categoryKey(), {}};
    if (const pages::TSICategory* category = pages::FindCategory(page->categoryKey()))
      if (category->caption && !category->caption->empty())
        out.caption = pages::StripMarkup(*category->caption);
    for (const pages::Section& section : page->Sections())
      out.sections.push_back(SectionOf(section));
    doc.pages.push_back(std::move(out));
  }
  return doc;
}

}  // namespace tavrin::report
