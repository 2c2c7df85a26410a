#include "report/clipboard_text.h"
#include "tests/support/row_context.h"

#include <gtest/gtest.h>

#include "gather/controller.h"

namespace tavrin::report {
namespace {

TEST(ClipboardText, CopySelectedJoinsCaptionValueAndCommentWithBlanks) {
  gather::TGetFunctionsClass controller;
  pages::Page& page = *controller.FindPage("generalinfo");
  pages::AddItem(::tavrin::testing::RowsOf(controller), page, 0, "Windows:", "12", "", false);
  // The value column carries its own leading blank, so two blanks follow the caption.
  EXPECT_EQ(CopySelectedText(page.Sections()[0].Items[0]), "Windows:  12 ");
  EXPECT_TRUE(CanCopySelected(&page.Sections()[0].Items[0]));
  EXPECT_FALSE(CanCopySelected(nullptr));
}

TEST(ClipboardText, CopyAllGivesOneCrLfLinePerRowWithoutSectionTitles) {
  gather::TGetFunctionsClass controller;
  pages::Page& page = *controller.FindPage("generalinfo");
  EXPECT_FALSE(CanCopyAll(page));
  EXPECT_EQ(CopyAllText(page), "");
  pages::AddItem(::tavrin::testing::RowsOf(controller), page, 0, "A:", "1", "c", false);
  pages::AddItem(::tavrin::testing::RowsOf(controller), page, 0, "B:", "2", "", false);
  pages::AddItem(::tavrin::testing::RowsOf(controller), page, 2, "C:", "3", "", false);
  pages::AddItem(::tavrin::testing::RowsOf(controller), page, 2, "D:", "4", "d", false);
  EXPECT_TRUE(CanCopyAll(page));
  EXPECT_EQ(CopyAllText(page), "A:  1 c\r\nB:  2 \r\nC:  3 \r\nD:  4 d\r\n");
}

}  // namespace
}  // namespace tavrin::report
