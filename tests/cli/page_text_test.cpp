#include "cli/page_text.h"
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tavrin::cli {
namespace {

pages::TZuSectionItem Row(std::string label, std::string value) {
  pages::TZuSectionItem row;
  row.Caption = std::move(label);
  row.SubItems = {std::move(value)};
  return row;
}

// Column of `part` in `line`, counted in characters.
std::size_t CharacterColumn(const std::string& line, const std::string& part) {
  const std::size_t at = line.find(part);
  std::size_t column = 0;
  for (std::size_t i = 0; i < at && i < line.size(); ++i)
    if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
  return column;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(PageText, ColumnsAreCountedInCharactersNotBytes) {
  pages::Section section;
  section.Caption = "CPU Information";
  section.Items.push_back(Row("Gängiger Name:", " Ryzen"));
  section.Items.push_back(Row("Größe:", " 32 KB"));
  section.Items.push_back(Row("Popular Name:", " Zen"));
  pages::Page page("sysdevinfo", "ZuCPUView", {section});
  const std::string text = PageText(*pages::FindCategory("sysdevinfo"), page, {});

  std::vector<std::size_t> labels_end, values;
  for (const std::string& line : Lines(text)) {
    for (const char* value : {"Ryzen", "32 KB", "Zen"})
      if (line.find(value) != std::string::npos) values.push_back(CharacterColumn(line, value));
    for (const char* label : {"Gängiger Name:", "Größe:", "Popular Name:"})
      if (line.find(label) != std::string::npos)
        labels_end.push_back(CharacterColumn(line, label) +
                             CharacterColumn(std::string(label) + "|", "|"));
  }
  ASSERT_EQ(values.size(), 3u) << text;
  EXPECT_EQ(values[0], values[1]);
  EXPECT_EQ(values[1], values[2]);
  ASSERT_EQ(labels_end.size(), 3u);
  EXPECT_EQ(labels_end[0], 40u) << "labels end in column 40";
  EXPECT_EQ(labels_end[1], 40u);
  EXPECT_EQ(labels_end[2], 40u);
}

TEST(PageText, LongLabelIsKeptWhole) {
  pages::Section section;
  section.Caption = "Environment";
  const std::string label(50, 'X');
  section.Items.push_back(Row(label, " value"));
  pages::Page page("wininfo", "ZuWindowsView", {section});
  const std::string text = PageText(*pages::FindCategory("wininfo"), page, {});
  EXPECT_NE(text.find(label + "       value"), std::string::npos) << text;
}

// Firmware strings are outside data: no escape sequence reaches the terminal through a row's
// label, value or source, while the page keeps its line breaks and tabs.
TEST(PageText, ControlCharactersNeverReachTheTerminal) {
  const std::string hostile =
      "\x1b]0;owned\x07\x1b[31mred\xc2\x9b"
      "2J\x7f\x80tail";
  pages::Section section;
  section.Caption = "BIOS Information";
  section.Items.push_back(Row("Vendor" + hostile + ":", " " + hostile));
  section.Items.back().source = "DMI " + hostile;
  pages::Page page("sysdevinfo", "ZuCPUView", {section});
  const std::string text = PageText(*pages::FindCategory("sysdevinfo"), page, {true});
  for (unsigned char c : text) EXPECT_TRUE(c >= 0x20 || c == '\n') << int{c};
  EXPECT_EQ(text.find('\x7f'), std::string::npos);
  EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << "C1 control in UTF-8";
  EXPECT_NE(text.find("]0;owned[31mred2J\xEF\xBF\xBDtail"), std::string::npos) << text;

  EXPECT_EQ(TerminalText("a\tb\r\nc\n\n"), "a\tb\nc\n\n");
}

}  // namespace
}  // namespace tavrin::cli
