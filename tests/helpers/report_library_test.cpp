// The report library through its interfaces, as the program reaches it.
#include <gtest/gtest.h>

#include "helpers/accessors.h"
#include "helpers/librepgen/text_clean.h"
#include "tests/helpers/test_support.h"
#include "tests/report/report_test_support.h"

namespace tavrin::helpers {
namespace {

using test::ReadBytes;
using test::TempFolder;

class ReportLibrary : public ::testing::Test {
 protected:
  TempFolder tmp_;
  Ref<IReport> report_ =
      Ref<IReport>::Adopt(ReportGenerator().CreateReport((tmp_ / "SysInfo").string()));
  Ref<IReportXmlWriter> xml_ = Ref<IReportXmlWriter>::Adopt(report_->XmlWriter());
  Ref<IReportHtmlWriter> html_ = Ref<IReportHtmlWriter>::Adopt(report_->HtmlWriter());
  Ref<IReportTextWriter> text_ = Ref<IReportTextWriter>::Adopt(report_->TextWriter());
};

TEST_F(ReportLibrary, XmlWriterNestsChecksNamesAndSavesUnderTheBaseName) {
  EXPECT_FALSE(xml_->OpenElement("header"));  // no document yet
  EXPECT_FALSE(xml_->Save().ok);
  xml_->BeginDocument();
  EXPECT_FALSE(xml_->OpenElement("bad name"));
  EXPECT_FALSE(xml_->CloseElement("report"));  // the document element stays open
  EXPECT_TRUE(xml_->OpenElement("header"));
  EXPECT_FALSE(xml_->CloseElement("other"));
  EXPECT_TRUE(xml_->WriteElement("user", "a\x02 \"b\" & <c> \xE2\x82"));
  EXPECT_TRUE(xml_->WriteElement("empty", ""));
  EXPECT_TRUE(xml_->CloseElement("header"));
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report>\n  <header>\n"
      "    <user>a \"b\" &amp; &lt;c&gt; \xEF\xBF\xBD</user>\n    <empty/>\n  "
      "</header>\n</report>\n";
  EXPECT_EQ(xml_->Render(), expected);
  const ReportSaveResult saved = xml_->Save();
  ASSERT_TRUE(saved.ok) << saved.error;
  EXPECT_EQ(saved.fileName, (tmp_ / "SysInfo.xml").string());
  EXPECT_EQ(ReadBytes(saved.fileName), expected);
}

TEST_F(ReportLibrary, HtmlWriterFillsThePlaceholdersWithEscapedTexts) {
  xml_->BeginDocument();
  xml_->OpenElement("header");
  xml_->WriteElement("program", "Tavrin System Information");
  xml_->WriteElement("version", "1.2.3");
  xml_->CloseElement("header");
  xml_->OpenElement("pages");
  xml_->OpenElement("page");
  xml_->WriteElement("key", "wininfo");
  xml_->WriteElement("caption", "Betriebssystem");
  xml_->OpenElement("sections");
  xml_->OpenElement("section");
  xml_->WriteElement("id", "only");
  xml_->WriteElement("title", "Only");
  xml_->OpenElement("items");
  xml_->OpenElement("item");
  xml_->WriteElement("name", "Kernel:");
  xml_->WriteElement("param", " 6.1");
  xml_->WriteElement("advanced", "");
  xml_->CloseElement("item");
  xml_->CloseElement("items");
  xml_->CloseElement("section");
  xml_->OpenElement("section");
  xml_->WriteElement("id", "empty");
  xml_->WriteElement("title", "Empty");
  xml_->WriteElement("empty", "Not gathered yet");
  xml_->CloseElement("section");
  xml_->CloseElement("sections");
  xml_->CloseElement("page");
  xml_->CloseElement("pages");
  html_->Clear();
  html_->SetLanguage("DEU");
  html_->SetTexts({"REP_NAME=Name & <Feld>", "REP_CONTENTS=Inhalt", "broken line"});
  html_->SetTitle("Tavrin System Information");
  EXPECT_FALSE(html_->Transform(xml_.get()));  // no template yet
  EXPECT_NE(html_->Save(0, 0, 1).error.find("template"), std::string::npos);
  EXPECT_FALSE(html_->LoadTemplate(nullptr, "OTHER", "TEMPLATES"));
  ASSERT_TRUE(html_->LoadTemplate(nullptr, "report_template", "templates"));
  ASSERT_TRUE(html_->Transform(xml_.get()));
  const std::string html = html_->Render();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"de\">", 0), 0u) << html.substr(0, 100);
  EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
  EXPECT_NE(html.find("<title>Tavrin System Information Report</title>"), std::string::npos);
  EXPECT_NE(html.find("Name &amp; &lt;Feld&gt;"), std::string::npos);
  EXPECT_NE(html.find("<h2>Inhalt</h2>"), std::string::npos);
  EXPECT_NE(html.find("Value"), std::string::npos);  // English where the language gives nothing
  EXPECT_NE(html.find("<a href=\"#wininfo-only\">Only</a>"), std::string::npos) << html;
  EXPECT_NE(html.find("<section id=\"wininfo-only\">"), std::string::npos);
  EXPECT_NE(html.find("<td>6.1</td>"), std::string::npos);
  EXPECT_NE(html.find("<p class=\"empty\">Not gathered yet</p>"), std::string::npos);
  EXPECT_EQ(html.find("%REP_"), std::string::npos);
}

TEST_F(ReportLibrary, TextWriterWritesLfLinesAndCleansThem) {
  text_->AddLine("first\x07");
  text_->AddTitleLine("  *** T ***");
  text_->AddLine("");
  EXPECT_EQ(text_->Render(), "first\n  *** T ***\n\n");
  const ReportSaveResult saved = text_->Save();
  ASSERT_TRUE(saved.ok);
  EXPECT_EQ(saved.fileName, (tmp_ / "SysInfo.txt").string());
  text_->Clear();
  EXPECT_EQ(text_->Render(), "");
}

TEST_F(ReportLibrary, WritersShareTheReportObjectsReferences) {
  report_->AddRef();
  const uint32_t count = report_->Release();
  xml_->AddRef();
  EXPECT_EQ(report_->AddRef(), count + 2);
  report_->Release();
  xml_->Release();
}

TEST(ReportTextClean, ReplacesInvalidUtf8AndDropsControls) {
  EXPECT_EQ(CleanReportText("plain äöü €"), "plain äöü €");
  EXPECT_EQ(CleanReportText("a\tb\nc\r\x01\x7F\xC2\x85"), "a\tbc");  // C0, DEL, C1 dropped
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(CleanReportText("\xC3\x28"), fffd + "(");
  EXPECT_EQ(CleanReportText("\xE2\x82"), fffd);                    // truncated: one replacement
  EXPECT_EQ(CleanReportText("\xC0\xAF"), fffd + fffd);             // overlong
  EXPECT_EQ(CleanReportText("\xED\xA0\x80"), fffd + fffd + fffd);  // surrogate
  EXPECT_EQ(CleanReportText("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);  // above U+10FFFF
  EXPECT_EQ(CleanReportText("\xEF\xBF\xBE|\xF0\x9F\x98\x80"), "|\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8Length("Größe"), 5u);
}

}  // namespace
}  // namespace tavrin::helpers
