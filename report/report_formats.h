// The report kinds written from a report document: the XML document through the report
// library's XML writer, the text lines for its text writer, and the JSON document.
#pragma once

#include <string>
#include <vector>

#include "helpers/interfaces.h"
#include "report/report_document.h"

namespace tavrin::report {

/// Builds the report document in `writer`: header, then sections, items and their fields.
/// An element opened here is closed even when writing its content throws.
void WriteXmlReport(helpers::IReportXmlWriter& writer, const ReportDocument& doc);

struct TextLine {
  bool title = false;  ///< a section title line (the writer's title-line operation)
  std::string text;
};

/// The text report: the program line, an empty line, then per section its title line
/// ("*** caption ***" right-aligned in 60 characters), an empty line, one line per row (the
/// caption right-aligned in 40 characters, six blanks, the value column) and an empty line.
/// Widths count characters, not bytes; longer texts are never cut.
std::vector<TextLine> TextReportLines(const ReportDocument& doc);

/// `text` right-aligned in `width` characters, as printf's "%*s" does for ASCII.
std::string PadLeft(const std::string& text, std::size_t width);

/// The JSON report (see docs/report-json.md), two-space indented, ending in a line feed.
std::string JsonReport(const ReportDocument& doc);

}  // namespace tavrin::report
