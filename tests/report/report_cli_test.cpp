// tavrin-cli --report end to end: a replayed snapshot, every kind, files and standard output.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_options.h"
#include "pages/page_layouts.h"
#include "pages/page_model.h"
#include "tests/helpers/test_support.h"
#include "tests/report/report_test_support.h"
#include "tests/support/run_program.h"
#include "tests/support/test_services.h"

namespace tavrin::report {
namespace {

using testing::BinDir;
using testing::ProgramRun;
using testing::RunProgram;
using testing::TempDir;

TEST(ReportCliOptions, ReportKindOutputAndMaskBelongTogether) {
  auto parse = [](std::vector<std::string> args) { return cli::ParseCliArgs(args); };
  const cli::ParsedArgs ok = parse({"--report", "json", "-o", "-", "--mask"});
  ASSERT_TRUE(ok.options);
  EXPECT_EQ(ok.options->report, "json");
  EXPECT_EQ(ok.options->report_file, "-");
  EXPECT_TRUE(ok.options->mask);
  EXPECT_FALSE(parse({"--report", "pdf"}).options);
  EXPECT_FALSE(parse({"--report"}).options);
  EXPECT_EQ(parse({"-o", "x"}).error, "-o needs --report");
  EXPECT_EQ(parse({"--mask"}).error, "--mask needs --report");
  EXPECT_FALSE(parse({"--report", "xml", "--page", "wininfo"}).options);
}

class ReportCli : public ::testing::Test {
 protected:
  TempDir home;
  std::vector<std::string> Env() const {
    return {"HOME=" + home.path().string(),
            "XDG_CONFIG_HOME=" + (home.path() / "config").string(),
            "XDG_STATE_HOME=" + (home.path() / "state").string(),
            "XDG_DATA_HOME=" + (home.path() / "data").string(),
            "LANG=C",
            "LC_ALL=",
            "DISPLAY=",
            "WAYLAND_DISPLAY=",
            "SOURCE_DATE_EPOCH=1768469400",
            "XDG_DOCUMENTS_DIR="};
  }
  ProgramRun Report(const std::string& kind, std::vector<std::string> extra = {"-o", "-"}) const {
    std::vector<std::string> args = {"--replay", (test::ReportFixtures() / "snapshot").string(),
                                     "--report", kind};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram(BinDir() / "tavrin-cli", args, Env());
  }
};

TEST_F(ReportCli, ReplayedReportHoldsEveryReportedSectionInOrder) {
  const ProgramRun xml = Report("xml");
  ASSERT_EQ(xml.exit_code, 0) << xml.err;
  EXPECT_EQ(test::XmlProblem(xml.out), "");
  EXPECT_NE(xml.out.find("<generated>01/15/26 09:30:00</generated>"), std::string::npos);

  const ProgramRun json_run = Report("json");
  ASSERT_EQ(json_run.exit_code, 0) << json_run.err;
  const auto json = nlohmann::json::parse(json_run.out);
  EXPECT_EQ(json["format"], "tavrin-report");
  EXPECT_EQ(json["version"], 2);
  EXPECT_EQ(json["header"]["generated"], "2026-01-15T09:30:00+00:00");
  std::vector<std::string> keys, ids, expected_keys, expected_ids;
  for (const auto& page : json["pages"]) {
    keys.push_back(page["key"]);
    for (const auto& section : page["sections"]) ids.push_back(section["id"]);
  }
  for (const char* key : {"generalinfo", "wininfo", "sysdevinfo", "cpuadvinfo", "displayinfo",
                          "displayadvinfo", "memoryinfo", "performinfo", "harddriveinfo",
                          "harddriveadvinfo", "ioinfo", "programsinfo", "networkinfo"}) {
    expected_keys.emplace_back(key);
    for (const auto& section : pages::FindPageLayout(key)->sections)
      expected_ids.push_back(pages::IdentifierOf(section.caption));
  }
  EXPECT_EQ(keys, expected_keys);
  EXPECT_EQ(ids, expected_ids);

  // The same sections and rows in every kind; an empty section shows its reason in each.
  const ProgramRun text = Report("text");
  ASSERT_EQ(text.exit_code, 0);
  for (const auto& page : json["pages"])
    for (const auto& section : page["sections"]) {
      const std::string caption = section["caption"];
      EXPECT_NE(xml.out.find("<title>" + caption + "</title>"), std::string::npos);
      EXPECT_NE(text.out.find("*** " + caption + " ***\n"), std::string::npos);
      if (!section["empty_reason"].is_null()) {
        EXPECT_NE(text.out.find("*** " + caption + " ***\n\n" + std::string(47, ' ') +
                                section["empty_reason"].get<std::string>()),
                  std::string::npos)
            << caption;
      }
      for (const auto& row : section["rows"]) {
        if (row["text"].is_null()) continue;
        EXPECT_NE(text.out.find(row["label"].get<std::string>() + "       " +
                                row["text"].get<std::string>()),
                  std::string::npos);
      }
    }
}

TEST_F(ReportCli, MaskedReportsShowNoSecretOfTheSnapshot) {
  for (const char* kind : {"html", "xml", "text", "json"}) {
    const ProgramRun run = Report(kind, {"-o", "-", "--mask"});
    ASSERT_EQ(run.exit_code, 0) << kind << ": " << run.err;
    EXPECT_FALSE(run.out.empty());
    for (const std::string& secret : test::SnapshotSecrets())
      EXPECT_EQ(run.out.find(secret), std::string::npos)
          << secret << " in the " << kind << " report";
    // The user who made the report is masked too.
    EXPECT_EQ(run.out.find("<user>root</user>"), std::string::npos);
  }
}

TEST_F(ReportCli, WritesTheNamedFileOrTheReportFolderAndExplainsFailures) {
  const std::string file = (home.path() / "r.json").string();
  ProgramRun run = Report("json", {"-o", file});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(helpers::test::ReadBytes(file), Report("json").out);

  // No -o: into the report folder under the documents, and the path is printed.
  run = Report("text", {});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string written = (home.path() / "Documents/SysInfo.txt").string();
  EXPECT_EQ(run.out, written + "\n");
  EXPECT_TRUE(std::filesystem::exists(written));

  // $XDG_DOCUMENTS_DIR wins over ~/Documents.
  std::vector<std::string> env = Env();
  env.push_back("XDG_DOCUMENTS_DIR=" + (home.path() / "Papers").string());
  run = RunProgram(BinDir() / "tavrin-cli",
                   {"--replay", (test::ReportFixtures() / "snapshot").string(), "--report", "xml"},
                   env);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, (home.path() / "Papers/SysInfo.xml").string() + "\n");

  run = Report("xml", {"-o", "/nonexistent-tavrin/r.xml"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("cannot write the report /nonexistent-tavrin/r.xml: "), std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace tavrin::report
