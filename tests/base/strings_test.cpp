#include "base/strings.h"

#include <gtest/gtest.h>

namespace tavrin::base {
namespace {

TEST(Strings, TrimTakesBlanksAndControlsOrTheGivenSet) {
  EXPECT_EQ(Trim(" \t\r\n value \x01\n"), "value");
  EXPECT_EQ(Trim("  \t\n"), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\tkeep\t me ", " "), "\tkeep\t me");
  EXPECT_EQ(Trim("xxx", "x"), "");
  EXPECT_EQ(TrimEnd("  a b \r"), "  a b");
  EXPECT_EQ(TrimEnd("a;;", ";"), "a");
  EXPECT_EQ(TrimEnd(";;", ";"), "");
  // Bytes of UTF-8 sequences are above the blanks and stay.
  EXPECT_EQ(Trim(" \xC3\xA4 "), "\xC3\xA4");
}

TEST(Strings, CaseAndPrefixesAreAsciiOnly) {
  EXPECT_EQ(Lower("TVexa_CPU \xC3\x84"), "tvexa_cpu \xC3\x84");
  EXPECT_TRUE(EqualsNoCase("HKEY_Local", "hkey_LOCAL"));
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
  EXPECT_TRUE(StartsWithNoCase("Dword:0001", "DWORD:"));
  EXPECT_FALSE(StartsWithNoCase("dw", "dword"));
  EXPECT_TRUE(ContainsNoCase("TVexa_ProcessList", "PROCESSLIST"));
  EXPECT_TRUE(ContainsNoCase("anything", ""));
  EXPECT_FALSE(ContainsNoCase("tvexa", "tvexa_"));
  EXPECT_TRUE(StartsWith("leaf 0x1", "leaf"));
}

TEST(Strings, FirstLineAndSplitting) {
  EXPECT_EQ(FirstLine("Europe/Berlin\r\nsecond\n"), "Europe/Berlin");
  EXPECT_EQ(FirstLine("no line end  "), "no line end");
  EXPECT_EQ(FirstLine("\nsecond"), "");
  EXPECT_EQ(SplitNonEmpty(":/usr/bin::/bin:", ':'), (std::vector<std::string>{"/usr/bin", "/bin"}));
  EXPECT_TRUE(SplitNonEmpty("", ':').empty());
  EXPECT_EQ(SplitLines("a\r\n\nb"), (std::vector<std::string_view>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n"), (std::vector<std::string_view>{"a"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace tavrin::base
