#include "platform/reg_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tavrin::platform {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr RegRoot kLM = RegRoot::LocalMachine;

RegValue Read(const RegistryTree& tree, std::string_view key, std::string_view name) {
  auto v = tree.ReadValue(kLM, key, name);
  EXPECT_TRUE(v) << key << " " << name;
  return v.value_or({});
}

// Two trees are equal when they hold the same keys with the same values in the same order.
void ExpectSameTree(const RegistryTree& a, const RegistryTree& b) {
  auto ka = a.Keys(), kb = b.Keys();
  ASSERT_EQ(ka.size(), kb.size());
  for (std::size_t i = 0; i < ka.size(); ++i) {
    EXPECT_EQ(ka[i].root, kb[i].root);
    EXPECT_EQ(ka[i].path, kb[i].path);
    EXPECT_EQ(ka[i].values, kb[i].values) << ka[i].path;
  }
}

std::string Utf16LeWithBom(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

TEST(RegTextRead, EveryValueNotation) {
  RegistryTree tree;
  auto r = ParseRegText(
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "; a comment\n"
      "[HKEY_LOCAL_MACHINE\\Software\\T]\n"
      "@=\"default\"\n"
      "\"Sz\"=\"C:\\\\Path \\\"quoted\\\"\"\n"
      "\"Empty\"=\"\"\n"
      "\"Dw\"=dword:2A\n"
      "\"Bin\"=hex:01,ff,0A\n"
      "\"NoBytes\"=hex:\n"
      "\"None\"=hex(0):\n"
      "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\n"
      "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
      "\"Q\"=hex(b):08,07,06,05,04,03,02,01\n"
      "\"Big\"=hex(5):00,00,01,00\n"
      "\"Odd\"=hex(4):01,02,03\n"
      "\"Odd type\"=hex(1a2b):\n"
      "\"a=b]c\"=\"name with = and ]\"\n",
      tree);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.issues.empty()) << r.issues.front().line << ": " << r.issues.front().message;
  const char* k = "Software\\T";
  EXPECT_EQ(Read(tree, k, "").AsString(), "default");
  EXPECT_EQ(Read(tree, k, "Sz").AsString(), "C:\\Path \"quoted\"");
  EXPECT_EQ(Read(tree, k, "Empty"), RegValue::String(""));
  EXPECT_EQ(Read(tree, k, "Dw"), RegValue::Dword(42));
  EXPECT_EQ(Read(tree, k, "Bin"), RegValue::Bytes({1, 0xFF, 0x0A}));
  EXPECT_EQ(Read(tree, k, "NoBytes"), RegValue::Bytes({}));
  EXPECT_EQ(Read(tree, k, "None"), RegValue::Bytes({}, RegType::None));
  EXPECT_EQ(Read(tree, k, "Exp"), RegValue::String("%A%", RegType::ExpandSz));
  EXPECT_EQ(Read(tree, k, "Multi"), RegValue::MultiString({"a", "b"}));
  EXPECT_EQ(Read(tree, k, "Q").AsQword(), 0x0102030405060708ull);
  EXPECT_EQ(Read(tree, k, "Big").AsDword(), 0x100u);
  EXPECT_EQ(Read(tree, k, "Odd"), RegValue::Bytes({1, 2, 3}, RegType::Dword));
  EXPECT_EQ(static_cast<uint32_t>(Read(tree, k, "Odd type").type), 0x1a2bu);
  EXPECT_EQ(Read(tree, k, "A=B]C").AsString(), "name with = and ]");
}

TEST(RegTextRead, Utf16WithBomCrlfContinuationAndShortRoots) {
  RegistryTree tree;
  auto r = ParseRegText(Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n"
                                       "[HKLM\\Software\\T]\r\n"
                                       "\"Multi\"=hex(7):61,00,00,00,\\\r\n"
                                       "  62,00,00,00,\\\r\n"
                                       "  00,00\r\n"
                                       "\"After\"=dword:00000001\r\n"),
                        tree);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.issues.empty());
  EXPECT_EQ(Read(tree, "Software\\T", "Multi"), RegValue::MultiString({"a", "b"}));
  EXPECT_EQ(Read(tree, "Software\\T", "After"), RegValue::Dword(1));

  // Non-ASCII text in UTF-16 comes out as UTF-8.
  RegistryTree unicode;
  std::string text = Utf16LeWithBom("Windows Registry Editor Version 5.00\n[HKCU\\X]\n\"N\"=\"");
  text += std::string("\xE9\x00\x28\x04", 4);  // é Ш
  text += std::string("\"\0\n\0", 4);
  ASSERT_TRUE(ParseRegText(text, unicode).ok);
  EXPECT_EQ(unicode.ReadValue(RegRoot::CurrentUser, "X", "N")->AsString(), "\xC3\xA9\xD0\xA8");

  RegistryTree bom8;
  EXPECT_TRUE(
      ParseRegText("\xEF\xBB\xBFWindows Registry Editor Version 5.00\n[HKCC\\A]\n", bom8).ok);
  EXPECT_TRUE(bom8.KeyExists(RegRoot::CurrentConfig, "A"));
}

TEST(RegTextRead, DeletionLines) {
  RegistryTree tree;
  tree.SetValue(kLM, "Software\\Old\\Sub", "V", RegValue::Dword(1));
  tree.SetValue(kLM, "Software\\Keep", "Gone", RegValue::Dword(1));
  tree.SetValue(kLM, "Software\\Keep", "Stays", RegValue::Dword(2));
  auto r = ParseRegText(
      "Windows Registry Editor Version 5.00\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Old]\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Keep]\n"
      "\"gone\"=-\n",
      tree);
  EXPECT_TRUE(r.ok && r.issues.empty());
  EXPECT_FALSE(tree.KeyExists(kLM, "Software\\Old"));
  EXPECT_FALSE(tree.KeyExists(kLM, "Software\\Old\\Sub"));
  EXPECT_EQ(tree.ValueNames(kLM, "Software\\Keep"), std::vector<std::string>{"Stays"});
}

TEST(RegTextRead, BadLinesAreReportedAndSkipped) {
  RegistryTree tree;
  auto r = ParseRegText(
      "Windows Registry Editor Version 5.00\n"  // 1
      "\"Early\"=dword:00000001\n"              // 2 value before any key
      "[HKEY_NOWHERE\\X]\n"                     // 3 unknown root
      "\"Lost\"=dword:00000001\n"               // 4 belongs to the bad key
      "[HKEY_LOCAL_MACHINE\\Good]\n"            // 5
      "\"A\"=dword:zz\n"                        // 6
      "\"B\"=dword:123456789\n"                 // 7 nine digits
      "\"C\"=\"unterminated\n"                  // 8
      "\"D\"=hex:01,0g\n"                       // 9
      "\"E\"=hex(x):01\n"                       // 10
      "\"F\"=qword:1\n"                         // 11
      "\"G\"=hex:01,\\\n"                       // 12
      "  zz\n"                                  // 13 (continuation of 12)
      "\"H\"=\"x\" trailing\n"                  // 14
      "\"Unterminated name=1\n"                 // 15
      "junk\n"                                  // 16
      "[HKEY_LOCAL_MACHINE\\Unclosed\n"         // 17
      "[-HKEY_LOCAL_MACHINE]\n"                 // 18
      "[HKEY_LOCAL_MACHINE\\Good]\n"            // 19
      "\"Ok\"=dword:00000002\n",                // 20
      tree);
  ASSERT_TRUE(r.ok);
  std::vector<int> lines;
  for (const auto& issue : r.issues) {
    lines.push_back(issue.line);
    EXPECT_FALSE(issue.message.empty());
  }
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18}));
  EXPECT_EQ(tree.ValueNames(kLM, "Good"), std::vector<std::string>{"Ok"});
  EXPECT_FALSE(tree.KeyExists(RegRoot::CurrentUser, ""));
}

TEST(RegTextRead, OnlyHeaderOrEncodingFailsTheWholeText) {
  RegistryTree tree;
  EXPECT_FALSE(ParseRegText("[HKEY_LOCAL_MACHINE\\X]\n", tree).ok);
  EXPECT_FALSE(ParseRegText("", tree).ok);
  EXPECT_FALSE(ParseRegText(std::string("\xFF\xFEW\0i", 5), tree).ok);  // odd UTF-16
  EXPECT_FALSE(
      ParseRegText(std::string("Windows Registry Editor Version 5.00\n\0\x01", 39), tree).ok);
  EXPECT_TRUE(tree.empty());
  // REGEDIT4 keeps strings as 8-bit bytes; they are widened to UTF-16.
  auto r = ParseRegText("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\n\"E\"=hex(2):41,00\n", tree);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(Read(tree, "X", "E"), RegValue::String("A", RegType::ExpandSz));
}

TEST(RegTextWrite, RoundTripsEveryType) {
  RegistryTree tree;
  const char* k = "Software\\Mixed Case\\Sub";
  tree.SetValue(kLM, k, "", RegValue::String("default"));
  tree.SetValue(kLM, k, "Empty", RegValue::String(""));
  tree.SetValue(kLM, k, "Quote\"Back\\slash", RegValue::String("C:\\dir\\ \"x\""));
  tree.SetValue(kLM, k, "Unicode \xE2\x82\xAC", RegValue::String("\xD0\x9F\xF0\x9F\x98\x80"));
  tree.SetValue(kLM, k, "Line", RegValue::String("two\r\nlines"));
  tree.SetValue(kLM, k, "Embedded NUL", RegValue::Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}, RegType::Sz));
  tree.SetValue(kLM, k, "No terminator", RegValue::Bytes({'a', 0}, RegType::Sz));
  tree.SetValue(kLM, k, "Exp", RegValue::String("%SystemRoot%", RegType::ExpandSz));
  tree.SetValue(kLM, k, "Multi", RegValue::MultiString({"one", "two"}));
  tree.SetValue(kLM, k, "EmptyMulti", RegValue::MultiString({}));
  tree.SetValue(kLM, k, "Dw", RegValue::Dword(0xDEADBEEF));
  tree.SetValue(kLM, k, "OddDw", RegValue::Bytes({1, 2, 3}, RegType::Dword));
  tree.SetValue(kLM, k, "Q", RegValue::Qword(~0ull));
  tree.SetValue(kLM, k, "Bin", RegValue::Bytes(Bytes(300, 0xAB)));
  tree.SetValue(kLM, k, "EmptyBin", RegValue::Bytes({}));
  tree.SetValue(kLM, k, "None", RegValue::Bytes({}, RegType::None));
  tree.SetValue(kLM, k, "Big type", RegValue::Bytes({9}, static_cast<RegType>(0xFFFF0000u)));
  tree.CreateKey(RegRoot::Users, "S-1-5-18\\Empty Key");
  tree.CreateKey(kLM, "Key]With]Brackets");
  tree.SetValue(RegRoot::ClassesRoot, "", "RootValue", RegValue::Dword(1));

  std::string text = WriteRegText(tree);
  RegistryTree back;
  auto r = ParseRegText(text, back);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.issues.empty()) << text;
  ExpectSameTree(tree, back);

  // Readable forms where the format has them; regedit's 80-column layout for byte lists.
  EXPECT_NE(text.find("\"Dw\"=dword:deadbeef\n"), std::string::npos);
  EXPECT_NE(text.find("\"Quote\\\"Back\\\\slash\"=\"C:\\\\dir\\\\ \\\"x\\\"\"\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"Q\"=hex(b):ff,ff,ff,ff,ff,ff,ff,ff\n"), std::string::npos);
  EXPECT_NE(text.find("\"EmptyBin\"=hex:\n"), std::string::npos);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

TEST(RegTextWrite, KeysSortedParentsFirst) {
  RegistryTree tree;
  tree.CreateKey(kLM, "B");
  tree.CreateKey(kLM, "A\\Child");
  tree.CreateKey(kLM, "A_B");
  tree.CreateKey(RegRoot::CurrentUser, "Z");
  EXPECT_EQ(WriteRegText(tree),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Z]\n\n"
            "[HKEY_LOCAL_MACHINE\\A]\n\n"
            "[HKEY_LOCAL_MACHINE\\A\\Child]\n\n"
            "[HKEY_LOCAL_MACHINE\\A_B]\n\n"
            "[HKEY_LOCAL_MACHINE\\B]\n\n");
}

TEST(RegValueText, OneLineNotation) {
  EXPECT_EQ(ParseRegValueText(" dword:00000001 "), RegValue::Dword(1));
  EXPECT_EQ(ParseRegValueText("\"DEU\""), RegValue::String("DEU"));
  EXPECT_EQ(ParseRegValueText("hex(b):01,00,00,00,00,00,00,00"), RegValue::Qword(1));
  EXPECT_EQ(ParseRegValueText("DEU"), std::nullopt);
  EXPECT_EQ(ParseRegValueText("-"), std::nullopt);
  EXPECT_EQ(ParseRegValueText("hex:01,\\"), std::nullopt);
  RegValue multi = RegValue::MultiString({std::string(200, 'x')});
  std::string one_line = FormatRegValueText(multi);
  EXPECT_EQ(one_line.find('\n'), std::string::npos);
  EXPECT_EQ(ParseRegValueText(one_line), multi);
}

}  // namespace
}  // namespace tavrin::platform
