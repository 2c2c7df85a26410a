// One report: a base file name and its three writers, which live exactly as long as it does.
#pragma once

#include <atomic>
#include <string>

#include "helpers/librepgen/html_writer.h"
#include "helpers/librepgen/text_writer.h"
#include "helpers/librepgen/xml_writer.h"

namespace tavrin::helpers {

/// Identity of a report object for QueryInterface (the library's own; the program reaches
/// reports through the generator).
inline constexpr std::string_view kReportObjectGuid = "{3F0C2B7E-8D5A-4E61-9C1B-7A2E5D4F6B10}";

class ReportObject final : public IReport {
 public:
  /// Starts with one reference, the one CreateReport hands out.
  explicit ReportObject(std::string baseFileName);

  int32_t QueryInterface(std::string_view guid, void** object) override;
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override;

  IReportXmlWriter* XmlWriter() override;
  IReportHtmlWriter* HtmlWriter() override;
  IReportTextWriter* TextWriter() override;
  std::string BaseFileName() override { return base_; }

 private:
  ~ReportObject() = default;

  std::atomic<uint32_t> references_{1};
  std::string base_;
  helpers::XmlWriter xml_;
  helpers::HtmlWriter html_;
  helpers::TextWriter text_;
};

}  // namespace tavrin::helpers
