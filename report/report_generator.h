// TReportGenerator: turns what the information pages show into a report file (HTML, XML,
// plain text, or JSON for scripts) through the report library, and opens it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpers/interfaces.h"
#include "pages/page_model.h"
#include "report/report_document.h"

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::report {

enum class ReportKind { Html, Xml, Text, Json };

/// "html", "xml", "text" or "json" (exact); nothing for anything else.
std::optional<ReportKind> ParseReportKind(std::string_view name);
/// ".html", ".xml", ".txt", ".json"
std::string_view ReportExtension(ReportKind kind);

class TReportGenerator {
 public:
  /// Binds the report library (a missing library ends the program with the load error),
  /// chooses the report folder and makes the report object for folder + "SysInfo".
  explicit TReportGenerator(const gather::TGetFunctionsClass& controller);
  /// As above with a given base file name (folder and name without extension).
  TReportGenerator(const gather::TGetFunctionsClass& controller, std::string baseFileName);
  ~TReportGenerator();
  TReportGenerator(const TReportGenerator&) = delete;
  TReportGenerator& operator=(const TReportGenerator&) = delete;

  /// Registers a page (not owned). A page whose list is registered already, and the device
  /// manager page, are ignored.
  void AddPage(const pages::Page* page);
  const std::vector<const pages::Page*>& Pages() const { return pages_; }
  const std::string& BaseFileName() const { return base_; }

  /// Replace sensitive values with placeholders (off by default).
  void SetMask(bool mask) { mask_ = mask; }
  /// Open each written report with the desktop's default application (on by default; the
  /// helper library skips it without a desktop session).
  void SetOpenResult(bool open) { open_ = open; }
  /// A fixed header instead of the one of the moment (reproducible reports, tests).
  void SetFixedHeader(std::optional<ReportHeader> header) { fixed_header_ = std::move(header); }

  /// The report's content now: header and the sections of the registered pages.
  ReportDocument Document() const;

  /// Write the report next to the base file name with the kind's extension, then open it.
  helpers::ReportSaveResult MakeHtmlReport() { return MakeReport(ReportKind::Html); }
  helpers::ReportSaveResult MakeTextReport() { return MakeReport(ReportKind::Text); }
  helpers::ReportSaveResult MakeXmlReport() { return MakeReport(ReportKind::Xml); }
  helpers::ReportSaveResult MakeJsonReport() { return MakeReport(ReportKind::Json); }
  helpers::ReportSaveResult MakeReport(ReportKind kind);

  /// Writes exactly `fileName`; opens nothing.
  helpers::ReportSaveResult WriteReport(ReportKind kind, std::string_view fileName);
  /// The report's bytes, as they would be written.
  std::string RenderReport(ReportKind kind);

 private:
  /// Builds the kind's content in its writer from the pages as they are now; for JSON, which
  /// has no writer in the report library, returns the bytes instead.
  std::string Prepare(ReportKind kind);

  const gather::TGetFunctionsClass& controller_;
  std::string base_;
  std::vector<const pages::Page*> pages_;
  bool mask_ = false;
  bool open_ = true;
  std::optional<ReportHeader> fixed_header_;
  helpers::Ref<helpers::IReport> report_;
  helpers::Ref<helpers::IReportXmlWriter> xml_;
  helpers::Ref<helpers::IReportHtmlWriter> html_;
  helpers::Ref<helpers::IReportTextWriter> text_;
};

/// Registers the controller's information pages in the order of the report: General,
/// Windows, CPU, advanced CPU, display, advanced display, memory, performance, drives,
/// storage, I/O, programs, network.
void RegisterReportPages(TReportGenerator& generator, const gather::TGetFunctionsClass& controller);

}  // namespace tavrin::report
