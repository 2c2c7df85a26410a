#include "platform/linux/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavrin::platform {
namespace {

namespace fs = std::filesystem;
constexpr RegRoot kCU = RegRoot::CurrentUser;
constexpr const char* kKey = "Software\\Tavrin\\Settings";

RegValue Read(const SettingsLoad& load, std::string_view key, std::string_view name) {
  auto v = load.tree->ReadValue(kCU, key, name);
  EXPECT_TRUE(v) << key << " " << name;
  return v.value_or({});
}

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (fs::temp_directory_path() / "tavrin-settings-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(SettingsIni, NotationAndBareStrings) {
  SettingsLoad load = ParseSettingsIni(
      "\xEF\xBB\xBF; comment\r\n"
      "[Software\\Tavrin\\Settings]\r\n"
      "Language=\"DEU\"\r\n"
      "  DebugMode = dword:00000001   ; inline comment\r\n"
      "Plain=1\r\n"
      "Spaced =  some words  \r\n"
      "Empty=\r\n"
      "@=\"default\"\r\n"
      "\"@\"=\"at\"\r\n"
      "\"#Quoted \\\"Name\\\"\"=dword:2\r\n"
      "Semi=\"a;b\"\r\n"
      "Blob=hex:01,02,\\\r\n"
      "   03,04\r\n"
      "After=dword:5\r\n"
      "[Software\\Tavrin\\A section name well past the forty-nine characters inih keeps]\r\n"
      "X=y\r\n");
  EXPECT_TRUE(load.problems.empty()) << load.problems.front();
  EXPECT_EQ(Read(load, kKey, "Language"), RegValue::String("DEU"));
  EXPECT_EQ(Read(load, kKey, "debugmode"), RegValue::Dword(1));
  EXPECT_EQ(Read(load, kKey, "Plain"), RegValue::String("1"));  // a string, not a number
  EXPECT_EQ(Read(load, kKey, "Spaced"), RegValue::String("some words"));
  EXPECT_EQ(Read(load, kKey, "Empty"), RegValue::String(""));
  EXPECT_EQ(Read(load, kKey, ""), RegValue::String("default"));
  EXPECT_EQ(Read(load, kKey, "@"), RegValue::String("at"));
  EXPECT_EQ(Read(load, kKey, "#Quoted \"Name\""), RegValue::Dword(2));
  EXPECT_EQ(Read(load, kKey, "Semi"), RegValue::String("a;b"));
  EXPECT_EQ(Read(load, kKey, "Blob"), RegValue::Bytes({1, 2, 3, 4}));
  EXPECT_EQ(Read(load, kKey, "After"), RegValue::Dword(5));
  EXPECT_EQ(
      Read(load, "Software\\Tavrin\\A section name well past the forty-nine characters inih keeps",
           "X"),
      RegValue::String("y"));
  for (const auto& key : load.tree->Keys()) EXPECT_EQ(key.root, kCU);
}

TEST(SettingsIni, MalformedLinesReportedWithLineNumbers) {
  SettingsLoad load = ParseSettingsIni(
      "[Software\\Tavrin\\Settings]\n"  // 1
      "Good=dword:1\n"                  // 2
      "Bad=dword:zz\n"                  // 3
      "NoEquals\n"                      // 4
      "Cut=\"a ;b\"\n"                  // 5 inih ends the value at " ;"
      "\"Open=1\n"                      // 6
      "[Unclosed\n"                     // 7
      "Under=1\n"                       // 8 belongs to the broken header
      "[Software\\Tavrin\\Settings]\n"  // 9
      "Last=\"ok\"\n");                 // 10
  ASSERT_EQ(load.problems.size(), 5u);
  EXPECT_TRUE(load.problems[0].starts_with("settings.ini line 3: ")) << load.problems[0];
  EXPECT_TRUE(load.problems[1].starts_with("settings.ini line 4: ")) << load.problems[1];
  EXPECT_TRUE(load.problems[2].starts_with("settings.ini line 5: ")) << load.problems[2];
  EXPECT_TRUE(load.problems[3].starts_with("settings.ini line 6: ")) << load.problems[3];
  EXPECT_TRUE(load.problems[4].starts_with("settings.ini line 7: ")) << load.problems[4];
  EXPECT_EQ(load.tree->ValueNames(kCU, kKey), (std::vector<std::string>{"Good", "Last"}));
}

TEST(SettingsIni, GarbageDoesNotCrash) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  SettingsLoad a = ParseSettingsIni(binary);
  EXPECT_TRUE(a.tree);

  std::string huge = "[K]\nName=\"" + std::string(1 << 20, 'x') + "\"\nNext=1\n[Unterminated";
  SettingsLoad b = ParseSettingsIni(huge);
  ASSERT_EQ(b.problems.size(), 2u);
  EXPECT_TRUE(b.problems[0].starts_with("settings.ini line 2: "));
  EXPECT_EQ(b.tree->ValueNames(kCU, "K"), std::vector<std::string>{"Next"});

  SettingsLoad c = ParseSettingsIni("[\n]\n=\n\\\n  \\\nhex:\\\n  ");
  EXPECT_TRUE(c.tree);
}

TEST(SettingsIni, WriteAndReadBack) {
  RegistryTree tree;
  tree.SetValue(kCU, kKey, "Language", RegValue::String("DEU"));
  tree.SetValue(kCU, kKey, "DebugMode", RegValue::Dword(1));
  tree.SetValue(kCU, kKey, "", RegValue::String("default"));
  tree.SetValue(kCU, kKey, "@", RegValue::String("literal at"));
  tree.SetValue(kCU, kKey, " padded ", RegValue::String("  padded value  "));
  tree.SetValue(kCU, kKey, "Comment-like", RegValue::String("x ; not a comment"));
  tree.SetValue(kCU, kKey, "Long", RegValue::String(std::string(500, 'y')));
  tree.SetValue(kCU, kKey, "Blob", RegValue::Bytes(std::vector<uint8_t>(200, 0x5A)));
  tree.SetValue(kCU, kKey, "Multi", RegValue::MultiString({"a", "b"}));
  tree.SetValue(kCU, kKey, "Q", RegValue::Qword(7));
  tree.SetValue(kCU, kKey, "Quote\"s", RegValue::String("C:\\x\\"));
  tree.CreateKey(kCU, "Software\\Tavrin\\Empty");
  tree.SetValue(kCU, "", "RootValue", RegValue::String("r"));
  tree.SetValue(RegRoot::LocalMachine, "Software", "NotHere", RegValue::Dword(1));

  std::string text = WriteSettingsIni(tree);
  EXPECT_NE(text.find("[Software\\Tavrin\\Settings]\n"), std::string::npos);
  EXPECT_NE(text.find("\nLanguage=\"DEU\"\n"), std::string::npos);
  EXPECT_NE(text.find("\nDebugMode=dword:00000001\n"), std::string::npos);
  EXPECT_EQ(text.find("NotHere"), std::string::npos);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 198u);

  SettingsLoad back = ParseSettingsIni(text);
  EXPECT_TRUE(back.problems.empty()) << back.problems.front() << "\n" << text;
  RegistryTree user_only;
  for (const auto& key : tree.Keys()) {
    if (key.root != kCU) continue;
    user_only.CreateKey(kCU, key.path);
    for (const auto& [name, value] : key.values) user_only.SetValue(kCU, key.path, name, value);
  }
  auto want = user_only.Keys(), got = back.tree->Keys();
  ASSERT_EQ(want.size(), got.size()) << text;
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(want[i].path, got[i].path);
    EXPECT_EQ(want[i].values, got[i].values) << want[i].path << "\n" << text;
  }
}

TEST(SettingsIni, NamesInihCannotHoldAreLeftOutVisibly) {
  RegistryTree tree;
  tree.SetValue(kCU, kKey, "a=b", RegValue::Dword(1));
  tree.SetValue(kCU, kKey, "c:d", RegValue::Dword(1));
  tree.SetValue(kCU, kKey, "Kept", RegValue::Dword(1));
  std::string text = WriteSettingsIni(tree);
  SettingsLoad back = ParseSettingsIni(text);
  EXPECT_TRUE(back.problems.empty()) << text;
  EXPECT_EQ(back.tree->ValueNames(kCU, kKey), std::vector<std::string>{"Kept"});
  EXPECT_NE(text.find("; value a=b was left out"), std::string::npos) << text;
}

TEST(SettingsFile, PathFollowsXdg) {
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old_xdg ? old_xdg : "";
  ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
  EXPECT_EQ(SettingsFilePath(), fs::path("/tmp/xdg-test/tavrin/settings.ini"));
  ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);  // ignored: the rule wants absolute paths
  EXPECT_EQ(SettingsFilePath().filename(), "settings.ini");
  EXPECT_TRUE(SettingsFilePath().is_absolute());
  EXPECT_EQ(SettingsFilePath().parent_path().parent_path().filename(), ".config");
  if (old_xdg) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

TEST(SettingsFile, SaveCreatesFoldersAndLoadReadsBack) {
  TempFolder tmp;
  fs::path file = tmp.path() / "deep" / "tavrin" / "settings.ini";
  SettingsLoad missing = LoadSettingsFile(file);
  EXPECT_TRUE(missing.tree && missing.tree->empty());
  EXPECT_TRUE(missing.problems.empty());

  RegistryTree tree;
  tree.SetValue(kCU, kKey, "Language", RegValue::String("ENU"));
  std::string error;
  ASSERT_TRUE(SaveSettingsFile(file, tree, &error)) << error;
  tree.SetValue(kCU, kKey, "Language", RegValue::String("DEU"));
  ASSERT_TRUE(SaveSettingsFile(file, tree, &error)) << error;

  SettingsLoad load = LoadSettingsFile(file);
  EXPECT_TRUE(load.problems.empty());
  EXPECT_EQ(Read(load, kKey, "Language"), RegValue::String("DEU"));
  // Only the file itself is left: no temporary files beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

TEST(SettingsFile, UnreadableOrUnwritable) {
  TempFolder tmp;
  // A folder where the file should be cannot be read, nor replaced.
  fs::create_directories(tmp.path() / "settings.ini");
  SettingsLoad load = LoadSettingsFile(tmp.path() / "settings.ini");
  EXPECT_TRUE(load.tree && load.tree->empty());
  ASSERT_EQ(load.problems.size(), 1u);
  EXPECT_TRUE(load.problems[0].starts_with("settings.ini: ")) << load.problems[0];

  RegistryTree tree;
  tree.SetValue(kCU, kKey, "A", RegValue::Dword(1));
  std::string error;
  EXPECT_FALSE(SaveSettingsFile(tmp.path() / "settings.ini", tree, &error));
  EXPECT_FALSE(error.empty());
  std::ofstream(tmp.path() / "plain-file") << "x";
  EXPECT_FALSE(SaveSettingsFile(tmp.path() / "plain-file" / "settings.ini", tree, &error));
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()), 2);
}

// A settings file kept in a dotfiles folder and linked into place stays a link, also while
// the link still leads nowhere.
TEST(SettingsFile, LinkedFileStaysLinkedAndADanglingLinkGetsItsTarget) {
  TempFolder tmp;
  fs::create_directories(tmp.path() / "dotfiles");
  fs::create_directories(tmp.path() / "config");
  RegistryTree tree;
  tree.SetValue(kCU, kKey, "Language", RegValue::String("DEU"));
  std::string error;

  const fs::path dangling = tmp.path() / "config" / "settings.ini";
  fs::create_symlink("../dotfiles/settings.ini", dangling);
  ASSERT_TRUE(SaveSettingsFile(dangling, tree, &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(Read(LoadSettingsFile(tmp.path() / "dotfiles" / "settings.ini"), kKey, "Language"),
            RegValue::String("DEU"));

  tree.SetValue(kCU, kKey, "Language", RegValue::String("ENU"));
  ASSERT_TRUE(SaveSettingsFile(dangling, tree, &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(Read(LoadSettingsFile(dangling), kKey, "Language"), RegValue::String("ENU"));
}

}  // namespace
}  // namespace tavrin::platform
