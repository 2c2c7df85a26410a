// The report document as a libxml2 tree, built element by element and serialized as UTF-8.
#pragma once

#include <libxml/tree.h>

#include <string>
#include <vector>

#include "helpers/interfaces.h"

namespace tavrin::helpers {

class XmlWriter final : public IReportXmlWriter {
 public:
  /// `owner` is the report object whose references this writer shares.
  XmlWriter(Unknown& owner, std::string baseFileName);
  ~XmlWriter();
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  int32_t QueryInterface(std::string_view guid, void** object) override {
    return owner_.QueryInterface(guid, object);
  }
  uint32_t AddRef() override { return owner_.AddRef(); }
  uint32_t Release() override { return owner_.Release(); }

  ReportSaveResult Save() override;
  void BeginDocument() override;
  bool OpenElement(std::string_view name) override;
  bool CloseElement(std::string_view name) override;
  bool WriteElement(std::string_view name, std::string_view text) override;
  ReportSaveResult SaveAs(std::string_view fileName) override;
  std::string Render() override;

  /// The document for the HTML writer's transformation; null before BeginDocument.
  xmlDocPtr Document() const { return doc_; }

 private:
  xmlNodePtr NewChild(std::string_view name);

  Unknown& owner_;
  std::string base_;
  xmlDocPtr doc_ = nullptr;
  std::vector<xmlNodePtr> open_;  ///< the open elements, document element first
};

/// A plain ASCII XML name: a letter or "_", then letters, digits, "_", "-", ".".
bool IsPlainXmlName(std::string_view name);

}  // namespace tavrin::helpers
