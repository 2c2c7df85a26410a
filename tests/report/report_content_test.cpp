// What goes into a report and in which order, and the text layout, independent of any
// snapshot.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "report/report_formats.h"
#include "report/report_generator.h"
#include "report/report_header.h"
#include "tests/helpers/test_support.h"
#include "tests/report/report_test_support.h"
#include "tests/support/row_context.h"

namespace tavrin::report {
namespace {

using helpers::test::ScopedEnv;
using helpers::test::TempFolder;

class ReportContent : public ::testing::Test {
 protected:
  TempFolder tmp_;
  helpers::test::IsolatedUser user_{tmp_.path()};
  ScopedEnv home_{"HOME", tmp_.path().string()};
  gather::TGetFunctionsClass controller_;
  TReportGenerator generator_{controller_, (tmp_ / "SysInfo").string()};

  void SetUp() override {
    generator_.SetFixedHeader(ReportHeader{"Co Product", "", "", "", "", "", "", "", ""});
  }
  pages::Page& Page(const char* key) { return *controller_.FindPage(key); }
};

TEST_F(ReportContent, PagesInReportOrderEachOnceNeverTheDeviceManager) {
  RegisterReportPages(generator_, controller_);
  generator_.AddPage(&Page("generalinfo"));  // a second time
  generator_.AddPage(&Page("devicesinfo"));
  std::vector<std::string> lists;
  for (const pages::Page* page : generator_.Pages()) lists.push_back(page->listName());
  EXPECT_EQ(lists, (std::vector<std::string>{
                       "zugeneralview", "ZuWindowsView", "ZuCPUView", "ZuCPUadvView",
                       "zuDisplayView", "ZuAdvDisplayView", "zuMemoryView", "zuPerfomanceView",
                       "ZuDriveView", "ZuIDEView", "zuIOView", "zuProgramView", "ZuNetworkView"}));
}

TEST_F(ReportContent, EmptySectionsShowTheirReasonInEveryKind) {
  generator_.AddPage(&Page("memoryinfo"));
  const std::string reason = "Not gathered yet by this version";
  const std::string xml = generator_.RenderReport(ReportKind::Xml);
  EXPECT_NE(xml.find("<section>\n      <title>Processes</title>\n      <items>\n        <item>\n"
                     "          <name/>\n          <param> " +
                     reason +
                     "</param>\n"
                     "          <advanced/>\n        </item>\n      </items>"),
            std::string::npos)
      << xml;
  EXPECT_EQ(generator_.RenderReport(ReportKind::Text),
            "Co Product\n\n" + std::string(43, ' ') + "*** Processes ***\n\n" +
                std::string(47, ' ') + reason + "\n\n" + std::string(44, ' ') +
                "*** Services ***\n\n" + std::string(47, ' ') + reason + "\n\n" +
                std::string(39, ' ') + "*** Memory Status ***\n\n" + std::string(47, ' ') + reason +
                "\n\n");
  const auto json = nlohmann::json::parse(generator_.RenderReport(ReportKind::Json));
  const auto& processes = json["pages"][0]["sections"][0];
  EXPECT_EQ(processes["id"], "processes");
  EXPECT_EQ(processes["empty_reason"], reason);
  EXPECT_TRUE(processes["rows"].empty());
  const std::string html = generator_.RenderReport(ReportKind::Html);
  EXPECT_NE(html.find("<p class=\"empty\">" + reason + "</p>"), std::string::npos) << html;
  EXPECT_EQ(html.find("<table>"), std::string::npos) << "no empty tables";
}

TEST_F(ReportContent, EmptySectionReasonComesFromWhatTheFillerLeft) {
  pages::Page& page = Page("wininfo");
  const auto rows = ::tavrin::testing::RowsOf(controller_);
  // Section 0: a value that could not be read. Section 1: only advanced rows in easy mode.
  // Section 2: the filler's own words. Section 3: rows offered, none with a value.
  const auto denied = platform::Provenance::Failure(platform::Status::PermissionDenied, "/dev/mem");
  pages::AddItem(rows, page, 0, "BIOS Date:", "", "", false, {denied});
  pages::AddItem(rows, page, 0, "BIOS Size:", "", "", false, {denied});
  pages::AddItem(rows, page, 1, "Deep:", "x", "", true);
  pages::NoteEmptySection(page, 2, "No firmware tables: this virtual machine exposes no SMBIOS");
  pages::AddItem(rows, page, 3, "Folder:", "  ", "", false);
  pages::ExplainEmptySections(page);
  const auto& s = page.Sections();
  EXPECT_EQ(s[0].emptyReason, "Not available here: " + denied.Explain())
      << "one reason for two values";
  EXPECT_EQ(s[1].emptyReason, "Shown in advanced mode");
  EXPECT_EQ(s[2].emptyReason, "No firmware tables: this virtual machine exposes no SMBIOS");
  EXPECT_EQ(s[3].emptyReason, "Nothing found on this machine");

  pages::AddItem(rows, page, 0, "Kernel:", "6.1", "", false);
  pages::ExplainEmptySections(page);
  EXPECT_EQ(s[0].emptyReason, "") << "a section with rows needs no reason";
  page.ClearItems();
  EXPECT_EQ(pages::EmptySectionReason(s[2]), "Not gathered yet by this version");
}

TEST_F(ReportContent, TextRowsAlignByCharactersAndLongCaptionsAreNotCut) {
  pages::Page& page = Page("memoryinfo");
  pages::AddItem(::tavrin::testing::RowsOf(controller_), page, 0, "Größe:", "12", "", false);
  const std::string caption(45, 'C');
  pages::AddItem(::tavrin::testing::RowsOf(controller_), page, 0, caption, "v", "", false);
  generator_.AddPage(&page);
  const std::string text = generator_.RenderReport(ReportKind::Text);
  EXPECT_NE(text.find("\n" + std::string(34, ' ') + "Größe:       12\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\n" + caption + "       v\n"), std::string::npos) << text;
}

TEST_F(ReportContent, HostileValuesKeepEveryKindWellFormed) {
  pages::Page& page = Page("memoryinfo");
  const std::string big(100 * 1024, 'x');
  pages::AddItem(::tavrin::testing::RowsOf(controller_), page, 0,
                 "Odd:", "<a href=\"x\">&amp;</a> 'q' \xFF\xFE tab\there \x01\x1B[0m", "", false);
  pages::AddItem(::tavrin::testing::RowsOf(controller_), page, 0, "Big:", big, "", false);
  generator_.AddPage(&page);

  const std::string xml = generator_.RenderReport(ReportKind::Xml);
  EXPECT_EQ(test::XmlProblem(xml), "");
  EXPECT_NE(xml.find("<param> &lt;a href=\"x\"&gt;&amp;amp;&lt;/a&gt; 'q' \xEF\xBF\xBD\xEF\xBF\xBD "
                     "tab\there [0m</param>"),
            std::string::npos)
      << xml.substr(0, 2000);
  EXPECT_NE(xml.find(big), std::string::npos);
  EXPECT_NE(generator_.RenderReport(ReportKind::Text).find(big), std::string::npos);
  const std::string json = generator_.RenderReport(ReportKind::Json);
  EXPECT_NE(json.find(big), std::string::npos);
  EXPECT_NE(json.find("\"text\": \"<a href=\\\"x\\\">&amp;</a> 'q' \xEF\xBF\xBD\xEF\xBF\xBD "
                      "tab\\there [0m\""),
            std::string::npos);
  const std::string html = generator_.RenderReport(ReportKind::Html);
  EXPECT_NE(html.find("&lt;a href=\"x\"&gt;&amp;amp;&lt;/a&gt;"), std::string::npos);
}

// A writer that fails in the middle of a row, to see that the open elements still close.
class ThrowingXmlWriter : public helpers::IReportXmlWriter {
 public:
  std::vector<std::string> calls;
  int32_t QueryInterface(std::string_view, void**) override { return helpers::kQueryNoInterface; }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  helpers::ReportSaveResult Save() override { return {}; }
  void BeginDocument() override { calls.push_back("begin"); }
  bool OpenElement(std::string_view n) override { return Log("open " + std::string(n)); }
  bool CloseElement(std::string_view n) override { return Log("close " + std::string(n)); }
  bool WriteElement(std::string_view n, std::string_view) override {
    if (n == "param") throw std::runtime_error("disk gone");
    return Log("write " + std::string(n));
  }
  helpers::ReportSaveResult SaveAs(std::string_view) override { return {}; }
  std::string Render() override { return {}; }

 private:
  bool Log(std::string c) {
    calls.push_back(std::move(c));
    return true;
  }
};

TEST(ReportXml, EveryOpenElementClosesWhenWritingFails) {
  ReportDocument doc;
  doc.pages.push_back({"k", "K", {{"S", {{"n", " p", "", false}}}}});
  ThrowingXmlWriter writer;
  EXPECT_THROW(WriteXmlReport(writer, doc), std::runtime_error);
  const std::vector<std::string> tail(writer.calls.end() - 5, writer.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"write name", "close item", "close items",
                                            "close section", "close sections"}));
}

TEST(ReportHeaderTime, SourceDateEpochFixesTheMomentInUtc) {
  ScopedEnv epoch("SOURCE_DATE_EPOCH", "1768469400");  // 2026-01-15 09:30:00 UTC
  EXPECT_EQ(GeneratedTime(0), "01/15/26 09:30:00");
  ScopedEnv unset("SOURCE_DATE_EPOCH", "not a number");
  EXPECT_FALSE(GeneratedTime(std::time(nullptr)).empty());
}

}  // namespace
}  // namespace tavrin::report
