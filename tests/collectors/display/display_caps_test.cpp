// Capability sets and display mode lists as the advanced display page shows them.
#include <gtest/gtest.h>

#include "collectors/display/display_caps.h"

namespace tavrin::collectors::display {
namespace {

TEST(DisplayCaps, SetsFromRawCapabilityValues) {
  // Raster bits are not in element order: 0x1 is the second element, 0x2 the first.
  const CapSets s = DecodeCapabilities({{38, 0x1 | 0x800}, {28, 0}, {34, 0x10000}, {121, 0x4}});
  EXPECT_EQ(s.raster, (1u << rcTransferBitmaps) | (1u << rcStretchBlt));
  EXPECT_EQ(s.curve, 0u);
  EXPECT_EQ(s.text, 1u << tcNoScrollUsingBlts);
  EXPECT_EQ(s.colorMgmt, 1u << cmcCMYKColor);
  EXPECT_EQ(s.line, 0u) << "a missing value leaves its set empty";
  EXPECT_EQ(TechnologyName(1), "Raster Display");
  EXPECT_EQ(TechnologyName(7), "");
}

TEST(DisplayCaps, TextsListEveryElementWithItsState) {
  std::vector<std::string> lines;
  CapabilityTexts(CapKind::kCurve, DecodeCapabilities({{28, 0}}).curve, lines);
  ASSERT_EQ(lines.size(), 9u);
  for (const auto& line : lines) EXPECT_EQ(line.back(), '0') << line;
  EXPECT_EQ(lines.front(), "Circles=0");
  lines.clear();
  CapabilityTexts(CapKind::kLine, 1u << lcWideLines, lines);
  EXPECT_EQ(lines[3], "Wide Lines=1");
  EXPECT_EQ(lines[0], "Polylines=0");
  lines.clear();
  CapabilityTexts(CapKind::kText, 0, lines);
  EXPECT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines.back(), "Cannot Scroll Using Blts=0");
}

TEST(DisplayCaps, ModesAppearOnceInTheirFirstOrder) {
  std::vector<std::string> modes;
  // 800 x 600 x 32 at 60 Hz and at 75 Hz give one text.
  AddMode(modes, ModeText(800, 600, 32));
  AddMode(modes, ModeText(1024, 768, 32));
  AddMode(modes, ModeText(800, 600, 32));
  AddMode(modes, "800 X 600 - 32 BIT");
  EXPECT_EQ(modes, (std::vector<std::string>{"800 x 600 - 32 bit", "1024 x 768 - 32 bit"}));
  EXPECT_EQ(ModeText(1920, 1080, 0), "1920 x 1080") << "depth unknown";

  int32_t w = 0, h = 0;
  EXPECT_TRUE(ParseModeName("1920x1080i", w, h));
  EXPECT_EQ(w, 1920);
  EXPECT_EQ(h, 1080);
  EXPECT_FALSE(ParseModeName("preferred", w, h));
  EXPECT_FALSE(ParseModeName("0x0", w, h));
}

}  // namespace
}  // namespace tavrin::collectors::display
