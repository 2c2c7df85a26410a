// The HTML report: the XML writer's document transformed by a built-in XSLT 1.0 sheet whose
// %REP_...% placeholders carry the texts of the user's language.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "helpers/interfaces.h"

namespace tavrin::helpers {

class HtmlWriter final : public IReportHtmlWriter {
 public:
  HtmlWriter(Unknown& owner, std::string baseFileName)
      : owner_(owner), base_(std::move(baseFileName)) {}

  int32_t QueryInterface(std::string_view guid, void** object) override {
    return owner_.QueryInterface(guid, object);
  }
  uint32_t AddRef() override { return owner_.AddRef(); }
  uint32_t Release() override { return owner_.Release(); }

  ReportSaveResult Save(int32_t reserved1, int32_t reserved2, int32_t replace) override;
  void Clear() override;
  void SetTexts(const std::vector<std::string>& lines) override;
  void SetLanguage(std::string_view languageCode) override { language_ = languageCode; }
  void SetTitle(std::string_view title) override { title_ = title; }
  bool LoadTemplate(const void* module, std::string_view name, std::string_view type) override;
  bool Transform(IReportXmlWriter* xml) override;
  ReportSaveResult SaveAs(std::string_view fileName) override;
  std::string Render() override { return html_; }

 private:
  ReportSaveResult Write(std::string_view fileName, bool replace);

  Unknown& owner_;
  std::string base_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::string language_;
  std::string title_;
  std::string_view template_;
  std::string html_;
  std::string error_ = "no report was transformed";
};

/// The template with every "%KEY%" of `texts` replaced by its text, escaped for XML; keys
/// not in `texts` get the built-in English.
std::string FillTemplatePlaceholders(std::string_view sheet,
                                     const std::map<std::string, std::string, std::less<>>& texts);

/// HTML language code ("en") of a localizer language code ("ENU"); empty when unknown.
std::string HtmlLanguageCode(std::string_view languageCode);

}  // namespace tavrin::helpers
