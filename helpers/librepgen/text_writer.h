// The plain-text report: lines as given, UTF-8, LF line ends.
#pragma once

#include <string>
#include <vector>

#include "helpers/interfaces.h"

namespace tavrin::helpers {

class TextWriter final : public IReportTextWriter {
 public:
  TextWriter(Unknown& owner, std::string baseFileName)
      : owner_(owner), base_(std::move(baseFileName)) {}

  int32_t QueryInterface(std::string_view guid, void** object) override {
    return owner_.QueryInterface(guid, object);
  }
  uint32_t AddRef() override { return owner_.AddRef(); }
  uint32_t Release() override { return owner_.Release(); }

  ReportSaveResult Save() override { return SaveAs(base_ + ".txt"); }
  void Clear() override { text_.clear(); }
  void AddLine(std::string_view text) override;
  void AddTitleLine(std::string_view text) override { AddLine(text); }
  ReportSaveResult SaveAs(std::string_view fileName) override;
  std::string Render() override { return text_; }

 private:
  Unknown& owner_;
  std::string base_;
  std::string text_;
};

}  // namespace tavrin::helpers
