// What a report holds, taken from the pages at the moment of writing: the header block and
// every section of every registered page. Every report kind is written from this one model,
// so the kinds cannot disagree about content or order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pages/page_model.h"

namespace tavrin::report {

/// The header block, in the order the report document lists it.
struct ReportHeader {
  std::string program;          ///< company name, a blank, product name
  std::string site;             ///< the program's web page
  std::string generated;        ///< date and time of the report, as the user's locale writes it
  std::string user;             ///< the user who made it
  std::string version;          ///< program version
  std::string winversion;       ///< operating-system summary of the General page
  std::string systemname;       ///< system name summary
  std::string processorname;    ///< processor summary
  std::string installedmemory;  ///< installed memory summary
  /// The same moment as `generated` in ISO 8601 with its UTC offset, for scripts.
  std::string generated_iso = {};
};

struct ReportRow {
  std::string name;      ///< the row caption
  std::string param;     ///< the value column, with its leading blank
  std::string advanced;  ///< the comment column
  bool sensitive = false;
  std::string id = {};      ///< stable within the section
  std::string source = {};  ///< where the value came from, when known
  std::optional<pages::Quantity> quantity = {};
  /// A value the machine did not give: no text, only the reason. Only the JSON report lists
  /// these; the others show what the page shows.
  bool missing = false;
  std::string reason = {};
};

struct ReportSection {
  std::string title;
  std::vector<ReportRow> items;
  std::string id = {};            ///< stable English id of the section
  std::string empty_reason = {};  ///< why it shows no row; empty when it has rows

  /// Whether a row is shown (missing values are not).
  bool HasShownRows() const;
};

struct ReportPage {
  std::string key;      ///< category key ("sysdevinfo")
  std::string caption;  ///< the page's name in the navigation
  std::vector<ReportSection> sections;
};

struct ReportDocument {
  ReportHeader header;
  std::vector<ReportPage> pages;
};

/// The header entries as (element name, text) pairs, in document order.
std::vector<std::pair<const char*, const std::string*>> HeaderEntries(const ReportHeader& header);

/// The pages in order, their sections in order, each section's rows in order with the values
/// that could not be read placed where they would have stood.
ReportDocument BuildReportDocument(ReportHeader header,
                                   const std::vector<const pages::Page*>& pages);

}  // namespace tavrin::report
