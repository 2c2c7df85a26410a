#include "helpers/librepgen/report_object.h"

#include "helpers/common/guid.h"

namespace tavrin::helpers {

ReportObject::ReportObject(std::string baseFileName)
    : base_(std::move(baseFileName)),
      xml_(*this, base_),
      html_(*this, base_),
      text_(*this, base_) {}

int32_t ReportObject::QueryInterface(std::string_view guid, void** object) {
  if (!object) return kQueryInvalidArgument;
  *object = nullptr;
  if (!SameGuid(guid, kReportObjectGuid) && !SameGuid(guid, guid::kUnknown))
    return kQueryNoInterface;
  AddRef();
  *object = static_cast<Unknown*>(this);
  return kQueryOk;
}

uint32_t ReportObject::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

IReportXmlWriter* ReportObject::XmlWriter() {
  AddRef();
  return &xml_;
}

IReportHtmlWriter* ReportObject::HtmlWriter() {
  AddRef();
  return &html_;
}

IReportTextWriter* ReportObject::TextWriter() {
  AddRef();
  return &text_;
}

}  // namespace tavrin::helpers
