// The report kinds written from a report document: the XML document through the report
// library's XML writer (and the richer document the HTML page is made from), the text lines
// for its text writer, and the JSON document.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "helpers/interfaces.h"
#include "report/report_document.h"

namespace tavrin::report {

/// Report texts by key ("REP_GENERATED" -> "Report generated:").
using ReportTexts = std::map<std::string, std::string, std::less<>>;

/// The built-in English report texts, overridden by the language's "report" section.
ReportTexts CurrentReportTexts();
/// The text of `key`, or the built-in English one.
std::string ReportText(const ReportTexts& texts, std::string_view key);

/// Builds the report document in `writer`: header, then sections, items and their fields.
/// A section without rows holds one item whose value is the reason. An element opened here
/// is closed even when writing its content throws.
void WriteXmlReport(helpers::IReportXmlWriter& writer, const ReportDocument& doc);

/// The document the HTML page is transformed from: the header, then the pages with their key
/// and caption, each with its sections (id, title, the empty reason or the items).
void WriteHtmlSource(helpers::IReportXmlWriter& writer, const ReportDocument& doc);

struct TextLine {
  bool title = false;  ///< a section title line (the writer's title-line operation)
  std::string text;
};

/// The text report: the program line, the header lines (version, time, computer, user and
/// the machine summary, each only when known), an empty line, then per section its title line
/// ("*** caption ***" right-aligned in 60 characters), an empty line, one line per row (the
/// caption right-aligned in 40 characters, six blanks, the value column) or the reason it is
/// empty, and an empty line. Widths count characters, not bytes; longer texts are never cut.
std::vector<TextLine> TextReportLines(const ReportDocument& doc,
                                      const ReportTexts& texts = CurrentReportTexts());

/// `text` right-aligned in `width` characters, as printf's "%*s" does for ASCII.
std::string PadLeft(const std::string& text, std::size_t width);

/// The JSON report, format version 2 (docs/report-json.md), two-space indented, ending in a
/// line feed.
std::string JsonReport(const ReportDocument& doc);

/// The version of the JSON report this program writes.
inline constexpr int kJsonReportVersion = 2;

}  // namespace tavrin::report
