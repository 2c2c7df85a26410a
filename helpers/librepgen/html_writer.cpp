#include "helpers/librepgen/html_writer.h"

#include <libxml/parser.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <array>
#include <memory>
#include <utility>

#include "helpers/common/guid.h"
#include "helpers/librepgen/report_file.h"
#include "helpers/librepgen/report_templates.h"
#include "helpers/librepgen/report_texts.h"
#include "helpers/librepgen/text_clean.h"
#include "helpers/librepgen/xml_writer.h"

namespace tavrin::helpers {
namespace {

// Localizer codes are the Windows three-letter language abbreviations.
constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kLanguageCodes = {{
    {"EN", "en"}, {"DE", "de"}, {"FR", "fr"}, {"ES", "es"}, {"IT", "it"}, {"NL", "nl"},
    {"PT", "pt"}, {"RU", "ru"}, {"PL", "pl"}, {"CS", "cs"}, {"SV", "sv"}, {"DA", "da"},
    {"NO", "no"}, {"FI", "fi"}, {"HU", "hu"}, {"TR", "tr"}, {"EL", "el"}, {"JP", "ja"},
    {"KO", "ko"}, {"CH", "zh"}, {"UK", "uk"}, {"RO", "ro"},
}};

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  for (char c : CleanReportText(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// XPath 1.0 has no escapes inside string literals: a text holding both kinds of quotes is
// put together with concat().
std::string XPathLiteral(const std::string& text) {
  if (text.find('\'') == std::string::npos) return "'" + text + "'";
  if (text.find('"') == std::string::npos) return "\"" + text + "\"";
  std::string out = "concat(";
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t quote = text.find('\'', start);
    if (quote == std::string::npos) quote = text.size();
    if (start > 0) out += ", \"'\", ";
    // Appended piece by piece: GCC 12 warns falsely on "'" + string&&.
    out += '\'';
    out.append(text, start, quote - start);
    out += '\'';
    start = quote + 1;
  }
  return out + ")";
}

struct StylesheetFree {
  void operator()(xsltStylesheetPtr p) const { xsltFreeStylesheet(p); }
};
struct DocFree {
  void operator()(xmlDocPtr p) const { xmlFreeDoc(p); }
};
}  // namespace

std::string FillTemplatePlaceholders(std::string_view sheet,
                                     const std::map<std::string, std::string, std::less<>>& texts) {
  std::string out;
  out.reserve(sheet.size() + 512);
  std::size_t pos = 0;
  while (pos < sheet.size()) {
    const std::size_t open = sheet.find('%', pos);
    const std::size_t close = open == std::string_view::npos ? open : sheet.find('%', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view key = sheet.substr(open + 1, close - open - 1);
    const std::string* given = nullptr;
    if (auto it = texts.find(key); it != texts.end()) given = &it->second;
    const std::string_view english = EnglishReportText(key);
    if (!given && english.empty()) {
      // Not a placeholder (a "45%" width): keep the first "%" and look again from the second.
      out.append(sheet.substr(pos, close - pos));
      pos = close;
      continue;
    }
    out.append(sheet.substr(pos, open - pos));
    out += EscapeXmlText(given ? std::string_view(*given) : english);
    pos = close + 1;
  }
  out.append(sheet.substr(pos));
  return out;
}

std::string HtmlLanguageCode(std::string_view languageCode) {
  if (languageCode.size() < 2) return {};
  const std::string prefix{AsciiUpper(languageCode[0]), AsciiUpper(languageCode[1])};
  for (const auto& [windows, html] : kLanguageCodes)
    if (windows == prefix) return std::string(html);
  return {};
}

void HtmlWriter::Clear() {
  // The language stays: it is given once, when the report object is set up.
  texts_.clear();
  title_.clear();
  template_ = {};
  html_.clear();
  error_ = "no report was transformed";
}

void HtmlWriter::SetTexts(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    texts_[line.substr(0, eq)] = line.substr(eq + 1);
  }
}

bool HtmlWriter::LoadTemplate(const void* module, std::string_view name, std::string_view type) {
  // Linux has no resource sections in other modules: only the library's own templates exist.
  std::optional<std::string_view> sheet = module ? std::nullopt : FindReportTemplate(name, type);
  template_ = sheet.value_or(std::string_view());
  if (!sheet) error_ = "no report template " + std::string(type) + "/" + std::string(name);
  return sheet.has_value();
}

bool HtmlWriter::Transform(IReportXmlWriter* xml) {
  html_.clear();
  auto fail = [&](std::string why) {
    error_ = std::move(why);
    return false;
  };
  if (template_.empty()) return fail("no report template was loaded");
  auto* writer = dynamic_cast<XmlWriter*>(xml);
  if (!writer || !writer->Document()) return fail("no report document was made");

  const std::string sheet_text = FillTemplatePlaceholders(template_, texts_);
  xmlDocPtr sheet_doc = xmlReadMemory(sheet_text.data(), static_cast<int>(sheet_text.size()),
                                      "report_template.xsl", "UTF-8", XML_PARSE_NONET);
  if (!sheet_doc) return fail("the report template is not well-formed");
  std::unique_ptr<xsltStylesheet, StylesheetFree> sheet(xsltParseStylesheetDoc(sheet_doc));
  if (!sheet) {
    xmlFreeDoc(sheet_doc);
    return fail("the report template is not a valid style sheet");
  }
  // Parameters travel as XPath expressions, so each text becomes a string literal.
  const std::string lang = XPathLiteral(HtmlLanguageCode(language_));
  const std::string product = XPathLiteral(CleanReportText(title_));
  const char* params[] = {"lang", lang.c_str(), "product", product.c_str(), nullptr};
  std::unique_ptr<xmlDoc, DocFree> result(
      xsltApplyStylesheet(sheet.get(), writer->Document(), params));
  if (!result) return fail("the report could not be transformed");

  xmlChar* bytes = nullptr;
  int size = 0;
  if (xsltSaveResultToString(&bytes, &size, result.get(), sheet.get()) != 0 || !bytes)
    return fail("the transformed report could not be serialized");
  // XSLT 1.0 cannot write the short HTML5 doctype; a sheet that writes none gets it here.
  const std::string_view out(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
  if (!out.starts_with("<!DOCTYPE") && !out.starts_with("<!doctype")) html_ = "<!DOCTYPE html>\n";
  html_.append(out);
  xmlFree(bytes);
  return true;
}

ReportSaveResult HtmlWriter::Write(std::string_view fileName, bool replace) {
  if (html_.empty()) return {false, std::string(fileName), error_};
  return WriteFileAtomically(fileName, html_, replace);
}

ReportSaveResult HtmlWriter::Save(int32_t /*reserved1*/, int32_t /*reserved2*/, int32_t replace) {
  return Write(base_ + ".html", replace != 0);
}

ReportSaveResult HtmlWriter::SaveAs(std::string_view fileName) {
  return Write(fileName, true);
}

}  // namespace tavrin::helpers
