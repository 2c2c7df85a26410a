#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/utf16.h"

namespace tavrin::platform {
namespace {

using Bytes = std::vector<uint8_t>;

std::optional<std::string> Env(std::string_view name) {
  if (name == "SystemRoot") return std::string("C:\\Windows");
  return std::nullopt;
}

TEST(RegValue, StringsAreUtf16LeWithTerminator) {
  EXPECT_EQ(RegValue::String("A\xC3\xA9").data, (Bytes{'A', 0, 0xE9, 0, 0, 0}));
  EXPECT_EQ(RegValue::String("").data, (Bytes{0, 0}));
  // A character beyond the basic plane takes a surrogate pair and comes back whole.
  RegValue emoji = RegValue::String("\xF0\x9F\x98\x80");
  EXPECT_EQ(emoji.data, (Bytes{0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
  EXPECT_EQ(emoji.AsString(), "\xF0\x9F\x98\x80");
  // Text after an embedded NUL is not part of the string; a missing terminator is tolerated.
  EXPECT_EQ(RegValue::Bytes({'a', 0, 0, 0, 'b', 0}, RegType::Sz).AsString(), "a");
  EXPECT_EQ(RegValue::Bytes({'a', 0, 'b', 0}, RegType::ExpandSz).AsString(), "ab");
}

TEST(RegValue, InvalidTextBecomesReplacementCharacter) {
  // Lone surrogate in registry data, broken UTF-8 from a hand-written file.
  EXPECT_EQ(RegValue::Bytes({0x00, 0xD8, 'x', 0}, RegType::Sz).AsString(), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xFF"
                                    "b\xE2\x82")),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), std::u16string(3, u'\xFFFD'));  // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(2, u'\xFFFD'));      // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));                         // beyond U+10FFFF
}

TEST(RegValue, NumbersAndOddLengths) {
  EXPECT_EQ(RegValue::Dword(0x12345678).data, (Bytes{0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(RegValue::Dword(42).AsQword(), 42u);
  EXPECT_EQ(RegValue::Qword(0x0102030405060708ull).AsQword(), 0x0102030405060708ull);
  EXPECT_EQ(RegValue::Bytes({0, 0, 0, 1}, RegType::DwordBigEndian).AsDword(), 1u);
  // A DWORD stored with three bytes is kept but has no number.
  RegValue odd = RegValue::Bytes({1, 2, 3}, RegType::Dword);
  EXPECT_EQ(odd.AsDword(), std::nullopt);
  EXPECT_EQ(odd.AsQword(), std::nullopt);
  EXPECT_EQ(RegValue::Bytes({1, 2, 3, 4, 5, 6, 7}, RegType::Qword).AsQword(), std::nullopt);
}

TEST(RegValue, MultiStrings) {
  RegValue v = RegValue::MultiString({"PCI\\VEN_8086", "PCI\\CC_0300"});
  EXPECT_EQ(v.data.size(), (12u + 1 + 11 + 1 + 1) * 2);
  EXPECT_EQ(v.AsMultiString(), (std::vector<std::string>{"PCI\\VEN_8086", "PCI\\CC_0300"}));
  EXPECT_EQ(RegValue::MultiString({}).AsMultiString(), std::vector<std::string>{});
  // An empty string ends the list; a missing final terminator still yields the last item.
  EXPECT_EQ(RegValue::Bytes({'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0}, RegType::MultiSz).AsMultiString(),
            std::vector<std::string>{"a"});
  EXPECT_EQ(RegValue::Bytes({'a', 0, 0, 0, 'b', 0}, RegType::MultiSz).AsMultiString(),
            (std::vector<std::string>{"a", "b"}));
}

TEST(RegistryText, EachTypeAsText) {
  EXPECT_EQ(RegistryText(RegValue::String("plain %SystemRoot%"), Env), "plain %SystemRoot%");
  EXPECT_EQ(RegistryText(RegValue::String("%SystemRoot%\\inf", RegType::ExpandSz), Env),
            "C:\\Windows\\inf");
  EXPECT_EQ(RegistryText(RegValue::Dword(4294967295u), Env), "4294967295");
  EXPECT_EQ(RegistryText(RegValue::MultiString({"first", "second"}), Env), "first");
  EXPECT_EQ(RegistryText(RegValue::Bytes({0x01, 0xA0, 0xFF}), Env), "01 A0 FF");
  EXPECT_EQ(RegistryText(RegValue::Qword(1), Env), "01 00 00 00 00 00 00 00");
  EXPECT_EQ(RegistryText(RegValue::Bytes({1, 2, 3}, RegType::Dword), Env), "01 02 03");
  EXPECT_EQ(RegistryText(RegValue::Bytes({8, 0}, RegType::ResourceList), Env), "08 00");
}

TEST(RegistryText, ExpansionKeepsUnknownNames) {
  EXPECT_EQ(ExpandEnvironmentText("%NoSuch%\\%SystemRoot%", Env), "%NoSuch%\\C:\\Windows");
  EXPECT_EQ(ExpandEnvironmentText("100%", Env), "100%");
  EXPECT_EQ(ExpandEnvironmentText("a%%b", Env), "a%%b");
  EXPECT_EQ(ExpandEnvironmentText("%SystemRoot%", nullptr), "%SystemRoot%");
}

TEST(RegistryNames, RootsAndKeyNames) {
  EXPECT_EQ(RegRootFromName("HKLM"), RegRoot::LocalMachine);
  EXPECT_EQ(RegRootFromName("hkey_current_user"), RegRoot::CurrentUser);
  EXPECT_EQ(RegRootFromName("HKEY_DYN_DATA"), std::nullopt);

  auto split = SplitKeyName("HKCR\\\\.txt\\");
  ASSERT_TRUE(split);
  EXPECT_EQ(split->first, RegRoot::ClassesRoot);
  EXPECT_EQ(split->second, ".txt");
  EXPECT_EQ(SplitKeyName("HKEY_LOCAL_MACHINE")->second, "");
  EXPECT_EQ(SplitKeyName("Software\\X"), std::nullopt);
  EXPECT_EQ(JoinKeyName(RegRoot::LocalMachine, "\\SYSTEM\\\\Enum\\"),
            "HKEY_LOCAL_MACHINE\\SYSTEM\\Enum");
}

class RegistryTreeTest : public ::testing::Test {
 protected:
  RegistryTreeTest() : tree("snapshot registry") {
    tree.SetValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1",
                  "DeviceDesc", RegValue::String("Bridge"));
    tree.CreateKey(RegRoot::LocalMachine, "system\\CURRENTCONTROLSET\\Enum\\USB");
    tree.CreateKey(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1\\Inst");
    tree.CreateKey(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_2");
    tree.CreateKey(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI_X");
  }
  RegistryTree tree;
};

TEST_F(RegistryTreeTest, LookupIgnoresCaseAndSlashes) {
  EXPECT_TRUE(tree.KeyExists(RegRoot::LocalMachine, "\\system\\currentcontrolset\\enum\\pci\\"));
  EXPECT_TRUE(tree.KeyExists(RegRoot::LocalMachine, ""));
  EXPECT_FALSE(tree.KeyExists(RegRoot::CurrentUser, ""));
  EXPECT_FALSE(tree.KeyExists(RegRoot::CurrentUser, "SYSTEM"));
  auto v = tree.ReadValue(RegRoot::LocalMachine, "SYSTEM\\\\currentcontrolset\\ENUM\\PCI\\ven_1",
                          "devicedesc");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->AsString(), "Bridge");
  // Provenance names the key as first written, and the value.
  EXPECT_EQ(v.source.source,
            "snapshot registry HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1"
            "\\DeviceDesc");
}

TEST_F(RegistryTreeTest, MissingKeyOrValue) {
  auto no_key = tree.ReadValue(RegRoot::LocalMachine, "SOFTWARE\\Nope", "X");
  EXPECT_FALSE(no_key);
  EXPECT_EQ(no_key.source.status, Status::Missing);
  EXPECT_EQ(no_key.source.source, "snapshot registry HKEY_LOCAL_MACHINE\\SOFTWARE\\Nope");
  auto no_value = tree.ReadValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet", "X");
  EXPECT_EQ(no_value.source.status, Status::Missing);
  EXPECT_EQ(no_value.source.source,
            "snapshot registry HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet");
  EXPECT_TRUE(tree.SubKeys(RegRoot::LocalMachine, "SOFTWARE").empty());
}

TEST_F(RegistryTreeTest, SubKeysAreDirectChildrenWithFirstSpelling) {
  EXPECT_EQ(tree.SubKeys(RegRoot::LocalMachine, "system\\currentcontrolset\\enum"),
            (std::vector<std::string>{"PCI", "PCI_X", "USB"}));
  EXPECT_EQ(tree.SubKeys(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI"),
            (std::vector<std::string>{"VEN_1", "VEN_2"}));
  EXPECT_EQ(tree.SubKeys(RegRoot::LocalMachine, ""), std::vector<std::string>{"SYSTEM"});
}

TEST_F(RegistryTreeTest, ValuesKeepFirstSpellingAndOrder) {
  const char* key = "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1";
  tree.SetValue(RegRoot::LocalMachine, key, "", RegValue::String("default"));
  tree.SetValue(RegRoot::LocalMachine, key, "DEVICEDESC", RegValue::Dword(7));
  EXPECT_EQ(tree.ValueNames(RegRoot::LocalMachine, key),
            (std::vector<std::string>{"DeviceDesc", ""}));
  EXPECT_EQ(tree.ReadValue(RegRoot::LocalMachine, key, "devicedesc")->AsDword(), 7u);
  EXPECT_TRUE(
      tree.ReadValue(RegRoot::LocalMachine, key, "").source.source.ends_with("\\(Default)"));
  tree.DeleteValue(RegRoot::LocalMachine, key, "DeviceDESC");
  EXPECT_EQ(tree.ValueNames(RegRoot::LocalMachine, key), std::vector<std::string>{""});
}

TEST_F(RegistryTreeTest, DeleteKeyTakesSubkeysButNotSiblings) {
  tree.DeleteKey(RegRoot::LocalMachine, "system\\currentcontrolset\\enum\\pci");
  EXPECT_FALSE(tree.KeyExists(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI"));
  EXPECT_FALSE(
      tree.KeyExists(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_1\\Inst"));
  EXPECT_TRUE(tree.KeyExists(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\PCI_X"));
  EXPECT_EQ(tree.SubKeys(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum"),
            (std::vector<std::string>{"PCI_X", "USB"}));
}

}  // namespace
}  // namespace tavrin::platform
