#include "report/report_formats.h"

#include <nlohmann/json.hpp>

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

}  // namespace

void WriteXmlReport(helpers::IReportXmlWriter& writer, const ReportDocument& doc) {
  writer.BeginDocument();
  {
    ElementScope header(writer, "header");
    for (const auto& [name, text] : HeaderEntries(doc.header)) writer.WriteElement(name, *text);
  }
  ElementScope sections(writer, "sections");
  for (const ReportSection& section : doc.sections) {
    ElementScope s(writer, "section");
    writer.WriteElement("title", section.title);
    ElementScope items(writer, "items");
    for (const ReportRow& row : section.items) {
      ElementScope item(writer, "item");
      writer.WriteElement("name", row.name);
      writer.WriteElement("param", row.param);
      writer.WriteElement("advanced", row.advanced);
    }
  }
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t length = helpers::Utf8Length(text);
  return length >= width ? text : std::string(width - length, ' ') + text;
}

std::vector<TextLine> TextReportLines(const ReportDocument& doc) {
  std::vector<TextLine> lines;
  // Clean before measuring, so the width counts the characters that will be written.
  const auto clean = [](const std::string& s) { return helpers::CleanReportText(s); };
  lines.push_back({false, clean(doc.header.program)});
  lines.push_back({false, {}});
  for (const ReportSection& section : doc.sections) {
    lines.push_back({true, PadLeft("*** " + clean(section.title) + " ***", 60)});
    lines.push_back({false, {}});
    for (const ReportRow& row : section.items)
      lines.push_back({false, PadLeft(clean(row.name), 40) + "      " + clean(row.param)});
    lines.push_back({false, {}});
  }
  return lines;
}

std::string JsonReport(const ReportDocument& doc) {
  using Json = nlohmann::ordered_json;
  const auto clean = [](const std::string& s) { return helpers::CleanReportText(s); };
  Json header = Json::object();
  for (const auto& [name, text] : HeaderEntries(doc.header)) header[name] = clean(*text);
  Json sections = Json::array();
  for (const ReportSection& section : doc.sections) {
    Json items = Json::array();
    for (const ReportRow& row : section.items)
      items.push_back({{"name", clean(row.name)},
                       {"param", clean(row.param)},
                       {"advanced", clean(row.advanced)}});
    sections.push_back({{"title", clean(section.title)}, {"items", std::move(items)}});
  }
  Json report = {{"format", "tavrin-report"},
                 {"version", 1},
                 {"header", std::move(header)},
                 {"sections", std::move(sections)}};
  return report.dump(2) + "\n";
}

}  // namespace tavrin::report
