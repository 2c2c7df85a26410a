#include "helpers/librepgen/text_writer.h"

#include "helpers/librepgen/report_file.h"
#include "helpers/librepgen/text_clean.h"

namespace tavrin::helpers {

void TextWriter::AddLine(std::string_view text) {
  // Cleaning also drops any line break inside the text, so one call is one line.
  text_ += CleanReportText(text);
  text_ += '\n';
}

ReportSaveResult TextWriter::SaveAs(std::string_view fileName) {
  return WriteFileAtomically(fileName, text_);
}

}  // namespace tavrin::helpers
