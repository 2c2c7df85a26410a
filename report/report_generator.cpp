#include "report/report_generator.h"

#include <array>

#include "gather/controller.h"
#include "helpers/accessors.h"
#include "helpers/debug_log.h"
#include "helpers/librepgen/report_file.h"
#include "report/report_folder.h"
#include "report/report_formats.h"
#include "report/report_header.h"
#include "report/report_masking.h"

namespace tavrin::report {
namespace {

// The device manager lists devices, not facts about the machine; it is never reported.
constexpr std::string_view kDeviceManagerPage = "devicesinfo";

constexpr std::array<std::string_view, 13> kReportPageOrder = {
    "generalinfo",    "wininfo",      "sysdevinfo",  "cpuadvinfo",    "displayinfo",
    "displayadvinfo", "memoryinfo",   "performinfo", "harddriveinfo", "harddriveadvinfo",
    "ioinfo",         "programsinfo", "networkinfo"};

}  // namespace

std::optional<ReportKind> ParseReportKind(std::string_view name) {
  if (name == "html") return ReportKind::Html;
  if (name == "xml") return ReportKind::Xml;
  if (name == "text") return ReportKind::Text;
  if (name == "json") return ReportKind::Json;
  return std::nullopt;
}

std::string_view ReportExtension(ReportKind kind) {
  switch (kind) {
    case ReportKind::Html:
      return ".html";
    case ReportKind::Xml:
      return ".xml";
    case ReportKind::Text:
      return ".txt";
    case ReportKind::Json:
      return ".json";
  }
  return {};
}

TReportGenerator::TReportGenerator(const gather::TGetFunctionsClass& controller)
    : TReportGenerator(controller, CurrentReportFolder() + "SysInfo") {}

TReportGenerator::TReportGenerator(const gather::TGetFunctionsClass& controller,
                                   std::string baseFileName)
    : controller_(controller), base_(std::move(baseFileName)) {
  report_ = helpers::Ref<helpers::IReport>::Adopt(helpers::ReportGenerator().CreateReport(base_));
  xml_ = helpers::Ref<helpers::IReportXmlWriter>::Adopt(report_->XmlWriter());
  html_ = helpers::Ref<helpers::IReportHtmlWriter>::Adopt(report_->HtmlWriter());
  text_ = helpers::Ref<helpers::IReportTextWriter>::Adopt(report_->TextWriter());
  html_->SetLanguage(helpers::Localizer().GetLanguage());
}

TReportGenerator::~TReportGenerator() = default;

void TReportGenerator::AddPage(const pages::Page* page) {
  if (!page || page->categoryKey() == kDeviceManagerPage) return;
  for (const pages::Page* known : pages_)
    if (known->listName() == page->listName()) return;
  pages_.push_back(page);
}

ReportDocument TReportGenerator::Document() const {
  ReportDocument doc = BuildReportDocument(
      fixed_header_ ? *fixed_header_ : CurrentReportHeader(controller_), pages_);
  if (mask_) MaskSensitive(doc);
  return doc;
}

std::string TReportGenerator::Prepare(ReportKind kind) {
  const ReportDocument doc = Document();
  switch (kind) {
    case ReportKind::Xml:
      WriteXmlReport(*xml_, doc);
      break;
    case ReportKind::Html:
      WriteHtmlSource(*xml_, doc);
      html_->Clear();
      html_->SetTexts(helpers::Localizer().GetSectionTexts("report"));
      html_->SetTitle(helpers::Globals().GetProductName());
      html_->LoadTemplate(nullptr, "REPORT_TEMPLATE", "TEMPLATES");
      // A failed transformation leaves the writer empty; saving then gives the reason.
      if (!html_->Transform(xml_.get())) helpers::DebugLog("HTML report could not be made");
      break;
    case ReportKind::Text:
      text_->Clear();
      for (const TextLine& line : TextReportLines(doc, CurrentReportTexts())) {
        if (line.title)
          text_->AddTitleLine(line.text);
        else
          text_->AddLine(line.text);
      }
      break;
    case ReportKind::Json:
      return JsonReport(doc);
  }
  return {};
}

helpers::ReportSaveResult TReportGenerator::WriteReport(ReportKind kind,
                                                        std::string_view fileName) {
  std::string json = Prepare(kind);
  switch (kind) {
    case ReportKind::Xml:
      return xml_->SaveAs(fileName);
    case ReportKind::Html:
      return html_->SaveAs(fileName);
    case ReportKind::Text:
      return text_->SaveAs(fileName);
    case ReportKind::Json:
      return helpers::WriteFileAtomically(fileName, json);
  }
  return {};
}

std::string TReportGenerator::RenderReport(ReportKind kind) {
  std::string json = Prepare(kind);
  switch (kind) {
    case ReportKind::Xml:
      return xml_->Render();
    case ReportKind::Html:
      return html_->Render();
    case ReportKind::Text:
      return text_->Render();
    case ReportKind::Json:
      return json;
  }
  return {};
}

helpers::ReportSaveResult TReportGenerator::MakeReport(ReportKind kind) {
  helpers::ReportSaveResult result;
  if (kind == ReportKind::Html) {
    Prepare(kind);
    result = html_->Save(0, 0, 1);
  } else if (kind == ReportKind::Json) {
    result = WriteReport(kind, base_ + std::string(ReportExtension(kind)));
  } else {
    Prepare(kind);
    result = kind == ReportKind::Xml ? xml_->Save() : text_->Save();
  }
  if (!result.ok) {
    helpers::DebugLogFmt("Report %s not written: %s", result.fileName.c_str(),
                         result.error.c_str());
    return result;
  }
  if (open_) helpers::Helper().OpenLink(result.fileName);
  return result;
}

void RegisterReportPages(TReportGenerator& generator,
                         const gather::TGetFunctionsClass& controller) {
  for (std::string_view key : kReportPageOrder)
    if (const pages::Page* page = controller.FindPage(key)) generator.AddPage(page);
}

}  // namespace tavrin::report
