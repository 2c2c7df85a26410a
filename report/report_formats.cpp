#include "report/report_formats.h"

#include <variant>

#include <nlohmann/json.hpp>

#include "helpers/accessors.h"
#include "helpers/librepgen/report_texts.h"
#include "helpers/librepgen/text_clean.h"

namespace tavrin::report {
namespace {

// Closes on every way out of the scope, so an interrupted block leaves no element open.
class ElementScope {
 public:
  ElementScope(helpers::IReportXmlWriter& writer, const char* name) : writer_(writer), name_(name) {
    writer_.OpenElement(name_);
  }
  ~ElementScope() { writer_.CloseElement(name_); }
  ElementScope(const ElementScope&) = delete;
  ElementScope& operator=(const ElementScope&) = delete;

 private:
  helpers::IReportXmlWriter& writer_;
  const char* name_;
};

void WriteHeader(helpers::IReportXmlWriter& writer, const ReportHeader& header) {
  ElementScope scope(writer, "header");
  for (const auto& [name, text] : HeaderEntries(header)) writer.WriteElement(name, *text);
}

void WriteItem(helpers::IReportXmlWriter& writer, const std::string& name, const std::string& param,
               const std::string& advanced) {
  ElementScope item(writer, "item");
  writer.WriteElement("name", name);
  writer.WriteElement("param", param);
  writer.WriteElement("advanced", advanced);
}

void WriteItems(helpers::IReportXmlWriter& writer, const ReportSection& section) {
  ElementScope items(writer, "items");
  for (const ReportRow& row : section.items)
    if (!row.missing) WriteItem(writer, row.name, row.param, row.advanced);
}

}  // namespace

ReportTexts CurrentReportTexts() {
  ReportTexts texts;
  for (const std::string& line : helpers::Localizer().GetSectionTexts("report")) {
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && eq > 0) texts[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return texts;
}

std::string ReportText(const ReportTexts& texts, std::string_view key) {
  if (auto it = texts.find(key); it != texts.end()) return it->second;
  return std::string(helpers::EnglishReportText(key));
}

void WriteXmlReport(helpers::IReportXmlWriter& writer, const ReportDocument& doc) {
  writer.BeginDocument();
  WriteHeader(writer, doc.header);
  ElementScope sections(writer, "sections");
  for (const ReportPage& page : doc.pages) {
    for (const ReportSection& section : page.sections) {
      ElementScope s(writer, "section");
      writer.WriteElement("title", section.title);
      if (section.HasShownRows()) {
        WriteItems(writer, section);
      } else {
        // The reason takes the place of the rows, as on the page.
        ElementScope items(writer, "items");
        WriteItem(writer, "", " " + section.empty_reason, "");
      }
    }
  }
}

void WriteHtmlSource(helpers::IReportXmlWriter& writer, const ReportDocument& doc) {
  writer.BeginDocument();
  WriteHeader(writer, doc.header);
  ElementScope pages(writer, "pages");
  for (const ReportPage& page : doc.pages) {
    ElementScope p(writer, "page");
    writer.WriteElement("key", page.key);
    writer.WriteElement("caption", page.caption);
    ElementScope sections(writer, "sections");
    for (const ReportSection& section : page.sections) {
      ElementScope s(writer, "section");
      writer.WriteElement("id", section.id);
      writer.WriteElement("title", section.title);
      if (section.HasShownRows())
        WriteItems(writer, section);
      else
        writer.WriteElement("empty", section.empty_reason);
    }
  }
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t length = helpers::Utf8Length(text);
  return length >= width ? text : std::string(width - length, ' ') + text;
}

std::vector<TextLine> TextReportLines(const ReportDocument& doc, const ReportTexts& texts) {
  std::vector<TextLine> lines;
  // Clean before measuring, so the width counts the characters that will be written.
  const auto clean = [](const std::string& s) { return helpers::CleanReportText(s); };
  const ReportHeader& h = doc.header;
  lines.push_back({false, clean(h.program)});
  // The summary texts caption a table in the HTML page; here they are followed by a colon.
  const auto header_line = [&](std::string_view key, const std::string& value, bool colon) {
    if (value.empty()) return;
    lines.push_back({false, ReportText(texts, key) + (colon ? ": " : " ") + clean(value)});
  };
  header_line("REP_VERSION", h.version, false);
  header_line("REP_GENERATED", h.generated, false);
  header_line("REP_COMPUTER", h.systemname, false);
  header_line("REP_USER", h.user, false);
  header_line("REP_SYSINFO_WINVER", h.winversion, true);
  header_line("REP_SYSINFO_PROCNAME", h.processorname, true);
  header_line("REP_SYSINFO_MEMORY", h.installedmemory, true);
  lines.push_back({false, {}});
  for (const ReportPage& page : doc.pages) {
    for (const ReportSection& section : page.sections) {
      lines.push_back({true, PadLeft("*** " + clean(section.title) + " ***", 60)});
      lines.push_back({false, {}});
      if (!section.HasShownRows())
        lines.push_back({false, PadLeft("", 40) + "       " + clean(section.empty_reason)});
      for (const ReportRow& row : section.items)
        if (!row.missing)
          lines.push_back({false, PadLeft(clean(row.name), 40) + "      " + clean(row.param)});
      lines.push_back({false, {}});
    }
  }
  return lines;
}

std::string JsonReport(const ReportDocument& doc) {
  using Json = nlohmann::ordered_json;
  const auto clean = [](const std::string& s) { return helpers::CleanReportText(s); };
  const auto text_or_null = [&](const std::string& s) {
    const std::string c = clean(s);
    return c.empty() ? Json(nullptr) : Json(c);
  };
  const ReportHeader& h = doc.header;
  Json header = {{"program", clean(h.program)},
                 {"version", clean(h.version)},
                 {"generated", h.generated_iso.empty() ? Json(nullptr) : Json(h.generated_iso)},
                 {"user", text_or_null(h.user)},
                 {"computer", text_or_null(h.systemname)},
                 {"operating_system", text_or_null(h.winversion)},
                 {"processor", text_or_null(h.processorname)},
                 {"installed_memory", text_or_null(h.installedmemory)}};
  Json pages = Json::array();
  for (const ReportPage& page : doc.pages) {
    Json sections = Json::array();
    for (const ReportSection& section : page.sections) {
      Json rows = Json::array();
      for (const ReportRow& row : section.items) {
        Json r = {{"id", row.id}, {"label", clean(row.name)}};
        if (row.missing) {
          r["text"] = nullptr;
          r["value"] = nullptr;
          r["reason"] = clean(row.reason);
        } else {
          // The value column's leading blank belongs to the page's layout, not to the value.
          std::string text = clean(row.param);
          if (!text.empty() && text.front() == ' ') text.erase(0, 1);
          r["text"] = text;
          if (row.quantity) {
            std::visit([&](auto n) { r["value"] = n; }, row.quantity->number);
            r["unit"] = std::string(pages::QuantityUnitName(row.quantity->unit));
          }
          if (!row.advanced.empty()) r["comment"] = clean(row.advanced);
          r["source"] = row.source.empty() ? Json(nullptr) : Json(clean(row.source));
          if (row.sensitive) r["sensitive"] = true;
        }
        rows.push_back(std::move(r));
      }
      Json s = {{"id", section.id}, {"caption", clean(section.title)}};
      s["empty_reason"] =
          section.HasShownRows() ? Json(nullptr) : Json(clean(section.empty_reason));
      s["rows"] = std::move(rows);
      sections.push_back(std::move(s));
    }
    pages.push_back(
        {{"key", page.key}, {"caption", clean(page.caption)}, {"sections", std::move(sections)}});
  }
  Json report = {{"format", "tavrin-report"},
                 {"version", kJsonReportVersion},
                 {"header", std::move(header)},
                 {"pages", std::move(pages)}};
  return report.dump(2) + "\n";
}

}  // namespace tavrin::report
