#include "text/format.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(FormatText, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText("Last Used: %s", {"today"}), "Last Used: today");
  EXPECT_EQ(FormatText("Slot_%d of %u: %s", {"3", "4", "PCI"}), "Slot_3 of 4: PCI");
  EXPECT_EQ(FormatText("100%% sure, %s", {"yes"}), "100% sure, yes");
}

TEST(FormatText, TranslationsMayDropOrMisuseTheirPlaceholders) {
  // A translation without the placeholder shows the text without the value.
  EXPECT_EQ(FormatText("Zuletzt benutzt", {"today"}), "Zuletzt benutzt");
  // More placeholders than values: the extra ones become empty, nothing is read past the end.
  EXPECT_EQ(FormatText("%s and %s and %d", {"one"}), "one and  and ");
  // Anything printf would interpret further stays literal text.
  EXPECT_EQ(FormatText("%n %x %5s %", {"unused"}), "%n %x %5s %");
}

}  // namespace
}  // namespace tavrin
