#include "pages/page_model.h"
#include "tests/support/row_context.h"

#include <gtest/gtest.h>

#include "gather/controller.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

class PageModelTest : public ::testing::Test {
 protected:
  Page page{"test", "TestView", {{"First", 0, {}, {}}, {"Second", 1, {}, {}}}};
  gather::TGetFunctionsClass controller;

  const std::vector<TZuSectionItem>& Rows(int section = 0) {
    return page.Sections()[static_cast<std::size_t>(section)].Items;
  }
};

TEST_F(PageModelTest, EmptyLabelsAndValuesGiveNoRow) {
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Label:", "   ", "", false));
  EXPECT_FALSE(
      AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Label:", "\r\n", "", false));
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, " \t ", "value", "", false));
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Label:", "", "", false));
  EXPECT_EQ(page.RowCount(), 0u);
  // A zero is a value.
  EXPECT_TRUE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Count:", "0", "", false));
  EXPECT_EQ(Rows()[0].SubItems[0], " 0");
}

TEST_F(PageModelTest, ValuesAreTrimmedJoinedAndCollapsed) {
  AddItem(::tavrin::testing::RowsOf(controller), page, 0,
          "  Name:  ", "\x01 two  words   here \x7f", "note", false);
  AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Lines:", "one\r\ntwo\nthree", "", false);
  ASSERT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Rows()[0].Caption, "Name:");
  // Only bytes up to the blank are control characters; DEL stays part of the value.
  EXPECT_EQ(Rows()[0].SubItems[0], " two words here \x7f");
  EXPECT_EQ(Rows()[0].SubItems[1], "note");
  EXPECT_EQ(Rows()[0].ImageIndex, -1);
  EXPECT_EQ(Rows()[1].SubItems[0], " onetwothree");
}

TEST_F(PageModelTest, AddItemExKeepsBlankRunsAndSetsImageAndData) {
  AddItemEx(::tavrin::testing::RowsOf(controller), page, 1, 7, "Path:", "a  b   c\r\nd", "", false,
            42);
  ASSERT_EQ(Rows(1).size(), 1u);
  EXPECT_EQ(Rows(1)[0].SubItems[0], " a  b   cd");
  EXPECT_EQ(Rows(1)[0].ImageIndex, 7);
  EXPECT_EQ(Rows(1)[0].Data, 42);
}

TEST_F(PageModelTest, AdvancedOnlyRowsFollowTheMode) {
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Deep:", "x", "", true));
  controller.SetAdvancedMode(true);
  EXPECT_TRUE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Deep:", "x", "", true));
  page.ClearItems();
  controller.SetAdvancedMode(false);
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Deep:", "x", "", true));
  EXPECT_EQ(page.RowCount(), 0u);
  EXPECT_EQ(page.Sections().size(), 2u) << "clearing keeps the sections";
}

TEST_F(PageModelTest, ProvenanceAndSensitivityTravelWithTheRow) {
  RowMeta read{platform::Provenance::Answered("/proc/cpuinfo"), true};
  AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Serial:", "ABC123", "", false, read);
  EXPECT_TRUE(Rows()[0].sensitive);
  EXPECT_EQ(Rows()[0].source, "/proc/cpuinfo");

  RowMeta denied{platform::Provenance::Failure(platform::Status::PermissionDenied, "/dev/mem"),
                 false};
  EXPECT_FALSE(
      AddItem(::tavrin::testing::RowsOf(controller), page, 0, "BIOS Date:", "", "", false, denied));
  ASSERT_EQ(page.Sections()[0].missing.size(), 1u);
  EXPECT_EQ(page.Sections()[0].missing[0].label, "BIOS Date:");
  EXPECT_NE(page.Sections()[0].missing[0].reason.find("permission denied"), std::string::npos);
}

TEST_F(PageModelTest, RowIdsComeFromLabelKeysAndStayWhenTheLanguageChanges) {
  const auto rows = ::tavrin::testing::RowsOf(controller);
  AddItem(rows, page, 0, lbl::S_CURRENT_USER, "annika", "", false);
  AddItem(rows, page, 0, "PATH", "/usr/bin", "", false);
  AddItem(rows, page, 0, "PATH", "/bin", "", false);
  AddItem(rows, page, 0, "L2 Unified Cache:", "2 MB", "", false, {{}, false, {}, "cache_l2"});
  lbl::S_CURRENT_USER = "Aktueller Benutzer:";
  AddItem(rows, page, 1, lbl::S_CURRENT_USER, "annika", "", false);
  labels::ResetToDefaults();
  ExplainEmptySections(page);
  EXPECT_EQ(Rows()[0].id, "current_user");
  EXPECT_EQ(Rows(1)[0].id, "current_user");
  EXPECT_EQ(Rows()[1].id, "path");
  EXPECT_EQ(Rows()[2].id, "path_2") << "ids are unique within a section";
  EXPECT_EQ(Rows()[3].id, "cache_l2");
  EXPECT_EQ(page.Sections()[0].id, "first");
  EXPECT_EQ(IdentifierOf("  Größe / CPU-Info: "), "gr_e_cpu_info");
  EXPECT_EQ(IdentifierOf("***"), "row");
  EXPECT_EQ(IdentifierOf("S.M.A.R.T. Information"), "smart_information");
}

TEST_F(PageModelTest, RawQuantitiesAndMissingValuesKeepTheirPlace) {
  const auto rows = ::tavrin::testing::RowsOf(controller);
  AddItem(rows, page, 0, "Size:", "480.00 MB", "", false,
          {{}, false, Quantity::Of(503316480, QuantityUnit::kBytes)});
  AddItem(rows, page, 0, "Date:", "", "", false,
          {platform::Provenance::Failure(platform::Status::Missing, "/sys/x")});
  AddItem(rows, page, 0, "Speed:", "3.0 GHz", "", false);
  ASSERT_TRUE(Rows()[0].quantity);
  EXPECT_EQ(*Rows()[0].quantity, Quantity::Of(503316480, QuantityUnit::kBytes));
  EXPECT_EQ(QuantityUnitName(Rows()[0].quantity->unit), "bytes");
  EXPECT_FALSE(Rows()[1].quantity);
  ASSERT_EQ(page.Sections()[0].missing.size(), 1u);
  EXPECT_EQ(page.Sections()[0].missing[0].position, 1u) << "after the first row";
  EXPECT_EQ(page.Sections()[0].missing[0].id, "date");
}

TEST_F(PageModelTest, BadSectionIndexIsIgnored) {
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, 2, "Label:", "v", "", false));
  EXPECT_FALSE(AddItem(::tavrin::testing::RowsOf(controller), page, -1, "Label:", "v", "", false));
  EXPECT_EQ(page.RowCount(), 0u);
}

}  // namespace
}  // namespace tavrin::pages
