// The report of a replayed snapshot, byte for byte in the XML, text and JSON kinds, and the
// HTML kind checked by tidy and by what a browser shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "report/report_generator.h"
#include "tests/helpers/test_support.h"
#include "tests/report/report_test_support.h"

namespace tavrin::report {
namespace {

namespace fs = std::filesystem;
using helpers::test::TempFolder;

class ReportGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    services_ = test::ReplayedSnapshot();
    ASSERT_TRUE(services_);
    test::FillPagesFromSnapshot(controller_, *services_);
    generator_.SetFixedHeader(test::FixedHeader(*services_));
    RegisterReportPages(generator_, controller_);
  }

  TempFolder tmp_;
  helpers::test::IsolatedUser user_{tmp_.path()};
  helpers::test::ScopedEnv home_{"HOME", tmp_.path().string()};
  std::shared_ptr<const platform::Services> services_;
  gather::TGetFunctionsClass controller_;
  TReportGenerator generator_{controller_, (tmp_ / "SysInfo").string()};
};

TEST_F(ReportGolden, XmlTextAndJsonMatchTheGoldens) {
  test::ExpectGolden("report.xml", generator_.RenderReport(ReportKind::Xml));
  test::ExpectGolden("report.txt", generator_.RenderReport(ReportKind::Text));
  test::ExpectGolden("report.json", generator_.RenderReport(ReportKind::Json));
  generator_.SetMask(true);
  test::ExpectGolden("report-masked.txt", generator_.RenderReport(ReportKind::Text));
}

TEST_F(ReportGolden, SavedFilesAreTheRenderedBytes) {
  for (ReportKind kind : {ReportKind::Xml, ReportKind::Text, ReportKind::Json, ReportKind::Html}) {
    const helpers::ReportSaveResult saved = generator_.WriteReport(kind, (tmp_ / "out").string());
    ASSERT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(helpers::test::ReadBytes(tmp_ / "out"), generator_.RenderReport(kind));
  }
  EXPECT_EQ(test::XmlProblem(generator_.RenderReport(ReportKind::Xml)), "");
}

TEST_F(ReportGolden, HtmlPassesTidyAndShowsEveryRowOfTheXmlReport) {
  if (!test::HaveCommand("tidy")) GTEST_SKIP() << "tidy is not installed (Debian package tidy)";
  const fs::path html = tmp_ / "report.html";
  ASSERT_TRUE(generator_.WriteReport(ReportKind::Html, html.string()).ok);

  int rc = -1;
  const std::string complaints =
      test::CommandOutput("tidy -errors -q '" + html.string() + "' 2>&1", &rc);
  EXPECT_EQ(rc, 0) << complaints;
  EXPECT_EQ(complaints, "");

  std::string browser;
  for (const char* name : {"chromium", "chromium-browser", "google-chrome"})
    if (test::HaveCommand(name)) browser = name;
  if (browser.empty()) GTEST_SKIP() << "no headless browser (Debian package chromium)";
  // As root the browser refuses to start without --no-sandbox; a fresh profile keeps the
  // user's own out of it.
  const std::string dom = test::CommandOutput(
      "timeout 120 " + browser +
      " --headless --no-sandbox --disable-gpu --disable-background-networking --no-first-run"
      " --user-data-dir='" +
      (tmp_ / "profile").string() + "' --dump-dom 'file://" + html.string() + "' 2>/dev/null");
  ASSERT_NE(dom.find("</html>"), std::string::npos) << "the browser showed nothing";
  const std::string visible = test::HtmlVisibleText(dom);
  std::size_t at = 0;
  for (const std::string& text : test::XmlVisibleTexts(generator_.Document())) {
    const std::size_t found = visible.find(text, at);
    ASSERT_NE(found, std::string::npos) << "'" << text << "' not shown (in order)";
    at = found + text.size();
  }
  EXPECT_NE(visible.find("Computer: rpt-box-7 Report generated: 01/15/26 09:30:00 "
                         "Program version: 0.0.0-test User: annika"),
            std::string::npos)
      << visible.substr(0, 400);
}

TEST_F(ReportGolden, HtmlIsGroupedByPageWithContentsAndFollowsTheDarkTheme) {
  const std::string html = generator_.RenderReport(ReportKind::Html);
  ASSERT_EQ(html.rfind("<!DOCTYPE html>\n", 0), 0u) << html.substr(0, 200);
  EXPECT_NE(html.find("@media (prefers-color-scheme: dark)"), std::string::npos);
  // Every link leads into the page itself: no placeholder site, and every target exists.
  std::size_t links = 0;
  for (std::size_t at = html.find("href=\""); at != std::string::npos;
       at = html.find("href=\"", at + 1)) {
    const std::size_t start = at + 6;
    const std::string target = html.substr(start, html.find('"', start) - start);
    ASSERT_EQ(target.front(), '#') << target;
    EXPECT_NE(html.find("id=\"" + target.substr(1) + "\""), std::string::npos) << target;
    ++links;
  }
  EXPECT_GT(links, 13u) << "a contents entry for every page and section";
  // Pages in report order, each a heading over its sections.
  const std::size_t general = html.find("<section id=\"page-generalinfo\">");
  const std::size_t windows = html.find("<section id=\"page-wininfo\">");
  const std::size_t network = html.find("<section id=\"page-networkinfo\">");
  ASSERT_NE(general, std::string::npos);
  EXPECT_LT(general, windows);
  EXPECT_LT(windows, network);
  EXPECT_EQ(html.find("page-devicesinfo"), std::string::npos);
  // The empty Software section shows its reason, not an empty table; every table has the
  // same three columns.
  const std::size_t software = html.find("<section id=\"generalinfo-software\">");
  ASSERT_NE(software, std::string::npos);
  EXPECT_EQ(html.find("<p class=\"empty\">Not gathered yet by this version</p>", software),
            html.find("<p class=\"empty\">", software));
  std::size_t tables = 0, colgroups = 0;
  for (std::size_t at = html.find("<table>"); at != std::string::npos;
       at = html.find("<table>", at + 1))
    ++tables;
  const std::string cols =
      "<colgroup>\n<col class=\"name\">\n<col class=\"value\">\n<col class=\"comment\">";
  for (std::size_t at = html.find("<colgroup>"); at != std::string::npos;
       at = html.find("<colgroup>", at + 1))
    colgroups += html.compare(at, cols.size(), cols) == 0;
  EXPECT_EQ(colgroups, tables) << html.substr(html.find("<colgroup>"), 200);
}

TEST_F(ReportGolden, MaskingLeavesNoSecretInAnyKindAndIsStable) {
  for (ReportKind kind : {ReportKind::Xml, ReportKind::Text, ReportKind::Json, ReportKind::Html}) {
    const std::string plain = generator_.RenderReport(kind);
    EXPECT_NE(plain.find("52:54:00:12:34:56"), std::string::npos);  // unmasked shows it
    generator_.SetMask(true);
    const std::string masked = generator_.RenderReport(kind);
    generator_.SetMask(false);
    for (const std::string& secret : test::SnapshotSecrets())
      EXPECT_EQ(masked.find(secret), std::string::npos) << secret << " in " << masked;
    EXPECT_NE(masked.find("[masked-"), std::string::npos);
  }
  generator_.SetMask(true);
  const ReportDocument doc = generator_.Document();
  // The host name gets one placeholder in the header and in its own row; comments and rows
  // not marked stay as they are.
  EXPECT_EQ(doc.header.user, "[masked-1]");
  EXPECT_EQ(doc.header.systemname, "[masked-2]");
  const auto& general = doc.pages[0].sections[0].items;
  EXPECT_EQ(general[1].param, " [masked-2]");
  EXPECT_EQ(general[2].param, " [masked-1]");
  EXPECT_EQ(general[2].advanced, "logged on");
  EXPECT_EQ(general[0].param, " Windows 10 Pro");
  EXPECT_EQ(generator_.RenderReport(ReportKind::Json), generator_.RenderReport(ReportKind::Json));
}

}  // namespace
}  // namespace tavrin::report
