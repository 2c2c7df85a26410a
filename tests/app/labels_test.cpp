#include "text/labels.h"

#include <algorithm>

#include "pages/page_layouts.h"
#include "text/label_wording.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tavrin {
namespace {

// Tests change the process-wide variables; every test starts and ends on the defaults.
class LabelsTest : public ::testing::Test {
 protected:
  void SetUp() override { labels::ResetToDefaults(); }
  void TearDown() override { labels::ResetToDefaults(); }
};

std::size_t IndexOf(std::string_view key) {
  auto table = labels::Table();
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].key == key) return i;
  return table.size();
}

TEST_F(LabelsTest, TableHasEveryKeyOnceInLocalizerOrder) {
  auto table = labels::Table();
  ASSERT_EQ(table.size(), 294u);

  std::set<std::string_view> keys;
  for (const auto& e : table) {
    EXPECT_TRUE(keys.insert(e.key).second) << "duplicate key " << e.key;
    EXPECT_FALSE(e.english.empty()) << e.key;
  }

  // Checkpoints through the table, the odd spellings among them: language files know
  // the keys exactly like this.
  EXPECT_EQ(table.front().key, "S_USER_NOT_ADMIN");
  EXPECT_EQ(table[1].key, "S_CURRENT_USER");
  EXPECT_EQ(table[15].key, "S_UKNOWNDRIVE");
  EXPECT_EQ(table[53].key, "S_CPU_VENODR");
  EXPECT_EQ(table[162].key, "S_IDE_TEMPERATUTE");
  EXPECT_EQ(table[184].key, "S_PRG_ODBS");
  EXPECT_EQ(table[224].key, "S_REC_FROM");
  EXPECT_EQ(table[241].key, "S_GEB_DESC");
  EXPECT_EQ(table[245].key, "S_VIDEO_DESK");
  EXPECT_EQ(table[254].key, "S_HARD_DESK");
  EXPECT_EQ(table[274].key, "S_COUNT_PROGRAM");
  EXPECT_EQ(table.back().key, "S_COUNT_ATA_VERSION");
}

TEST_F(LabelsTest, EntriesPointAtTheirOwnVariables) {
  auto table = labels::Table();
  EXPECT_EQ(table[IndexOf("S_YES")].variable, &lbl::S_YES);
  EXPECT_EQ(table[IndexOf("S_CPU_VENODR")].variable, &lbl::S_CPU_VENODR);
  EXPECT_EQ(table[IndexOf("S_COUNT_ATA_VERSION")].variable, &lbl::S_COUNT_ATA_VERSION);
  for (const auto& e : table) EXPECT_EQ(*e.variable, e.english) << e.key;
}

TEST_F(LabelsTest, EnglishDefaultsKeepTheirExactText) {
  EXPECT_EQ(lbl::S_COUNT_MHZ, " MHz");
  EXPECT_EQ(lbl::S_COUNT_CD_DVD, " device,  CD/DVD-ROM");
  EXPECT_EQ(lbl::S_COUNT_GB, " Gb");
  EXPECT_EQ(lbl::S_COUNT_UNKNOWN, " Unknown,");
  EXPECT_EQ(lbl::S_WIN_DESC,
            "<font color = \"$404040\">The operation system page contains detailed information "
            "about <b>Microsoft Windows</b> installed on your PC.</font>");
  EXPECT_EQ(lbl::S_REC_FROM_TR, "Receiving a system information from %s... ");
  EXPECT_EQ(lbl::S_PRINTER, "%s (Port: %d)");
  EXPECT_EQ(lbl::S_WIN_COUNTRYCODE, "%s (Country Code: %s)");
  EXPECT_EQ(lbl::S_WINTIMEZONE, "Time Zone Information:");
  EXPECT_EQ(lbl::S_CPU_MEMDEV_TYPE, "Memoty Device Type:");
  EXPECT_EQ(lbl::S_CPU_MSOCKET, "Memory Socked #");
  EXPECT_EQ(lbl::S_IDE_DEVICETYPE_CD, "Device Type:");
  EXPECT_EQ(lbl::S_GEN_DOTNET_VERSION, ".Net FrameWork Version Installed:");
}

TEST_F(LabelsTest, LocalizeOffersEveryKeyInOrderAndKeepsUntranslatedTexts) {
  std::vector<std::string_view> offered;
  labels::Localize([&](std::string_view key, std::string& text) {
    offered.push_back(key);
    if (key == "S_YES") text = "Ja";
    if (key == "S_COUNT_MHZ") text = " MHz (de)";
  });

  // The classic table first, then the labels of added rows.
  std::vector<labels::Entry> table(labels::Table().begin(), labels::Table().end());
  table.insert(table.end(), labels::AddedTable().begin(), labels::AddedTable().end());
  ASSERT_EQ(offered.size(), table.size());
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(offered[i], table[i].key);
  EXPECT_EQ(lbl::S_YES, "Ja");
  EXPECT_EQ(lbl::S_COUNT_MHZ, " MHz (de)");
  EXPECT_EQ(lbl::S_NO, "No");
}

TEST_F(LabelsTest, LocalizeWithNoTranslationsLeavesEveryDefault) {
  labels::Localize([](std::string_view, std::string&) {});
  for (const auto& e : labels::Table()) EXPECT_EQ(*e.variable, e.english) << e.key;
}

TEST_F(LabelsTest, ClearEmptiesAndResetRestores) {
  labels::Localize([](std::string_view, std::string& text) { text = "x"; });
  labels::Clear();
  for (const auto& e : labels::Table()) EXPECT_TRUE(e.variable->empty()) << e.key;

  labels::ResetToDefaults();
  EXPECT_EQ(lbl::S_USER_NOT_ADMIN.substr(0, 12), "This program");
  for (const auto& e : labels::Table()) EXPECT_EQ(*e.variable, e.english) << e.key;
}

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

// A section caption without a label would stay English in every other language.
TEST(SectionCaptions, EveryLayoutCaptionIsTranslatedThroughTheLabelTable) {
  const auto known = text::KnownSectionCaptions();
  for (const pages::PageLayout& layout : pages::PageLayouts())
    for (const pages::SectionLayout& section : layout.sections)
      EXPECT_NE(std::find(known.begin(), known.end(), section.caption), known.end())
          << layout.categoryKey << ": " << section.caption;
  lbl::S_SEC_CPU = "CPU-Informationen";
  EXPECT_EQ(text::SectionCaptionText("CPU Information"), "CPU-Informationen");
  EXPECT_EQ(text::SectionCaptionText("No Such Section"), "No Such Section");
  labels::ResetToDefaults();
}

}  // namespace
}  // namespace tavrin
