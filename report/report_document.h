// What a report holds, taken from the pages at the moment of writing: the header block and
// every section of every registered page. Every report kind is written from this one model,
// so the kinds cannot disagree about content or order.
#pragma once

#include <string>
#include <vector>

#include "pages/page_model.h"

namespace tavrin::report {

/// The header block, in the order the report document lists it.
struct ReportHeader {
  std::string program;          ///< company name, a blank, product name
  std::string site;             ///< the program's web page
  std::string generated;        ///< date and time of the report
  std::string user;             ///< the user who made it
  std::string version;          ///< program version
  std::string winversion;       ///< operating-system summary of the General page
  std::string systemname;       ///< system name summary
  std::string processorname;    ///< processor summary
  std::string installedmemory;  ///< installed memory summary
};

struct ReportRow {
  std::string name;      ///< the row caption
  std::string param;     ///< the value column, with its leading blank
  std::string advanced;  ///< the comment column
  bool sensitive = false;
};

struct ReportSection {
  std::string title;
  std::vector<ReportRow> items;
};

struct ReportDocument {
  ReportHeader header;
  std::vector<ReportSection> sections;
};

/// The header entries as (element name, text) pairs, in document order.
std::vector<std::pair<const char*, const std::string*>> HeaderEntries(const ReportHeader& header);

/// The sections of `pages` in order, each section's rows in order.
ReportDocument BuildReportDocument(ReportHeader header,
                                   const std::vector<const pages::Page*>& pages);

}  // namespace tavrin::report
