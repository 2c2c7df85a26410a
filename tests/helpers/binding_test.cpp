#include "helpers/binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "helpers/accessors.h"
#include "helpers/common/guid.h"
#include "helpers/program_path.h"
#include "tavrin_install_dirs.h"
#include "tests/helpers/test_support.h"

namespace tavrin::helpers {
namespace {

using State = InterfaceCache::State;

std::size_t TimesLoaded(std::string_view library) {
  std::vector<std::string> names = LoadedLibraries();
  return static_cast<std::size_t>(std::count_if(
      names.begin(), names.end(), [&](const auto& n) { return EqualNoCase(n, library); }));
}

TEST(HelpersBinding, LibraryNamesMapToSharedObjects) {
  EXPECT_EQ(LibraryFileName("helper.dll"), "libhelper.so");
  EXPECT_EQ(LibraryFileName("Localizer.dll"), "libLocalizer.so");
  EXPECT_EQ(LibraryFileName("RepLibrary.DLL"), "libRepLibrary.so");
  EXPECT_EQ(LibraryFileName("plain"), "libplain.so");
}

TEST(HelpersBinding, CacheGoesFromNotAskedToBoundAndBack) {
  InterfaceCache cache;
  EXPECT_EQ(cache.state(), State::NotAsked);
  Unknown* intf = GetInterface(cache, "helper.dll", guid::kHelper, 0);
  ASSERT_NE(intf, nullptr);
  EXPECT_EQ(cache.state(), State::Bound);
  EXPECT_EQ(cache.get(), intf);
  EXPECT_EQ(GetInterface(cache, "helper.dll", guid::kHelper, 0), intf) << "asked only once";
  EXPECT_EQ(static_cast<IHelper*>(intf)->GetOSCode(), kOSCodeLinux);
  ReleaseInterface(cache);
  EXPECT_EQ(cache.state(), State::NotAsked);
}

TEST(HelpersBinding, TwoInterfacesOfOneLibraryLoadItOnce) {
  InterfaceCache helper, options;
  ASSERT_NE(GetInterface(helper, "helper.dll", guid::kHelper, 0), nullptr);
  // Library names and GUIDs compare without regard to case.
  std::string lowerGuid(guid::kOptions);
  std::transform(lowerGuid.begin(), lowerGuid.end(), lowerGuid.begin(), ::tolower);
  ASSERT_NE(GetInterface(options, "HELPER.DLL", lowerGuid, 0), nullptr);
  EXPECT_EQ(TimesLoaded("helper.dll"), 1u);
  ReleaseInterface(helper);
  ReleaseInterface(options);
}

TEST(HelpersBinding, InterfacesAnswerQueriesForThemselvesOnly) {
  InterfaceCache cache;
  Unknown* intf = GetInterface(cache, "helper.dll", guid::kGlobals, 0);
  ASSERT_NE(intf, nullptr);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(intf->QueryInterface(guid::kHelper, &other), kQueryNoInterface);
  EXPECT_EQ(other, nullptr);
  void* same = nullptr;
  ASSERT_EQ(intf->QueryInterface(guid::kUnknown, &same), kQueryOk);
  Ref<IGlobals> globals = Ref<IGlobals>::Adopt(static_cast<IGlobals*>(static_cast<Unknown*>(same)));
  EXPECT_EQ(globals->GetCompanyName(), "Tavrin");
  ReleaseInterface(cache);
}

TEST(HelpersBinding, UnknownGuidFailsOnceAndForAll) {
  InterfaceCache cache;
  EXPECT_EQ(GetInterface(cache, "helper.dll", "{01234567-89AB-CDEF-0123-456789ABCDEF}", 0),
            nullptr);
  EXPECT_EQ(cache.state(), State::Failed);
  EXPECT_EQ(GetInterface(cache, "Localizer.dll", guid::kLocalizer, 0), nullptr)
      << "a failed cache is not asked again";
  EXPECT_EQ(cache.state(), State::Failed);
}

TEST(HelpersBinding, MissingLibraryIsNotRetried) {
  // A library that appears after the failed attempt stays unused by that cache.
  static int run = 0;
  const std::string name =
      "tavrin-test-" + std::to_string(getpid()) + "-" + std::to_string(++run) + ".dll";
  const std::filesystem::path file = ProgramFolder() / LibraryFileName(name);
  InterfaceCache cache;
  EXPECT_EQ(GetInterface(cache, name, guid::kHelper, 0), nullptr);
  EXPECT_EQ(cache.state(), State::Failed);
  EXPECT_EQ(TimesLoaded(name), 0u);

  std::filesystem::copy_file(ProgramFolder() / "libhelper.so", file);
  EXPECT_EQ(GetInterface(cache, name, guid::kHelper, 0), nullptr);
  InterfaceCache fresh;
  EXPECT_NE(GetInterface(fresh, name, guid::kHelper, 0), nullptr) << "the copy itself loads";
  ReleaseInterface(fresh);
  std::filesystem::remove(file);
}

TEST(HelpersBinding, LoadErrorTextIsExact) {
  EXPECT_EQ(LoadErrorMessage("helper.dll::Helper"),
            "An error occurred while loading library helper.dll::Helper. \r\n\r\nIt may have "
            "been removed. Please reinstall the application. If the problem persists, contact "
            "technical support.");
}

void SinkToStderr(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "[%.*s]%.*s|", static_cast<int>(caption.size()), caption.data(),
               static_cast<int>(text.size()), text.data());
}

TEST(HelpersBindingDeathTest, MissingLibraryStopsWithTheLoadErrorThroughTheSink) {
  // A library that no build has: binding it must end the program with a failure exit, and
  // the message names the file looked for and every folder searched.
  std::string searched;
  for (const auto& folder : HelperLibraryFolders())
    searched += (searched.empty() ? "" : ", ") + folder.string();
  EXPECT_EXIT(
      {
        SetMessageSink(&SinkToStderr);
        InterfaceCache cache;
        RequireInterface(GetInterface(cache, "nosuchlib.dll", guid::kAbout, 0),
                         "nosuchlib.dll::About");
      },
      ::testing::ExitedWithCode(kLoadErrorExitCode),
      ::testing::HasSubstr("[Error]" + LoadErrorMessage("nosuchlib.dll::About") +
                           "\r\n\r\nlibnosuchlib.so was not found in: " + searched + ".|"));
}

TEST(HelpersBindingDeathTest, DefaultSinkWritesErrorLinesToStderr) {
  EXPECT_EXIT(RequireInterface(nullptr, "Localizer.dll::Localizer"),
              ::testing::ExitedWithCode(kLoadErrorExitCode),
              ::testing::HasSubstr("Error: An error occurred while loading library "
                                   "Localizer.dll::Localizer. \n\nIt may have been removed. "
                                   "Please reinstall the application. If the problem persists, "
                                   "contact technical support.\n"));
}

TEST(HelpersBinding, FailureDetailSaysWhatWasWrongWithTheFile) {
  // A file of the right name that is no shared object: found, but not loaded.
  static int run = 0;
  const std::string name =
      "tavrin-broken-" + std::to_string(getpid()) + "-" + std::to_string(++run) + ".dll";
  const std::filesystem::path file = ProgramFolder() / LibraryFileName(name);
  { std::ofstream(file) << "not a library"; }
  InterfaceCache cache;
  EXPECT_EQ(GetInterface(cache, name, guid::kHelper, 0), nullptr);
  const std::string detail = LoadFailureDetail(name + "::Helper");
  EXPECT_THAT(detail, ::testing::HasSubstr(LibraryFileName(name) + " was found but not loaded"));
  EXPECT_THAT(detail, ::testing::HasSubstr(file.string() + " cannot be loaded: "));

  // A library that loads but does not offer the interface asked for.
  InterfaceCache other;
  EXPECT_EQ(GetInterface(other, "helper.dll", guid::kAbout, 0), nullptr);
  EXPECT_THAT(LoadFailureDetail("helper.dll::About"),
              ::testing::HasSubstr("libhelper.so does not offer the interface " +
                                   std::string(guid::kAbout)));
  EXPECT_EQ(LoadFailureDetail("RepLibrary.dll::ReportGenerator"), "") << "nothing failed";
  std::filesystem::remove(file);
}

TEST(HelpersProgramPath, BuildTreeFirstThenInstalledPlacesNeverTheWorkingFolder) {
  namespace fs = std::filesystem;
  test::TempFolder tmp;
  const fs::path bin = tmp.path() / "usr" / "bin";
  const fs::path installedLibs = (bin / TAVRIN_HELPER_DIR_FROM_BIN).lexically_normal();
  const fs::path installedLang = (bin / TAVRIN_LANG_DIR_FROM_BIN).lexically_normal();
  fs::create_directories(bin);

  const std::vector<fs::path> folders = HelperLibraryFoldersFor(bin);
  EXPECT_THAT(folders, ::testing::ElementsAre(bin, installedLibs, TAVRIN_INSTALL_HELPER_DIR))
      << "beside the program (the build tree), then installed relative to it, then the "
         "installed place fixed at build time";
  EXPECT_TRUE(installedLibs.string().starts_with(tmp.path().string())) << installedLibs;
  EXPECT_EQ(HelperLibraryFoldersFor(fs::path(TAVRIN_INSTALL_BIN_DIR)).size(), 2u)
      << "an installed program finds one installed folder, not the same one twice";

  // Nothing there yet: the installed language folder relative to the program is named.
  EXPECT_EQ(LanguageFolderFor(bin), installedLang);
  fs::create_directories(installedLang);
  EXPECT_EQ(LanguageFolderFor(bin), installedLang);
  fs::create_directories(bin / "Lang");
  EXPECT_EQ(LanguageFolderFor(bin), bin / "Lang") << "the build tree's folder wins";
}

}  // namespace
}  // namespace tavrin::helpers
