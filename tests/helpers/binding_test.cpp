#include "helpers/binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "helpers/accessors.h"
#include "helpers/common/guid.h"
#include "helpers/program_path.h"
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
  // A library that no build has: binding it must end the program, exit code 0.
  EXPECT_EXIT(
      {
        SetMessageSink(&SinkToStderr);
        InterfaceCache cache;
        RequireInterface(GetInterface(cache, "nosuchlib.dll", guid::kAbout, 0),
                         "nosuchlib.dll::About");
      },
      ::testing::ExitedWithCode(0),
      ::testing::HasSubstr("[Error]" + LoadErrorMessage("nosuchlib.dll::About") + "|"));
}

TEST(HelpersBindingDeathTest, DefaultSinkWritesErrorLinesToStderr) {
  EXPECT_EXIT(RequireInterface(nullptr, "Localizer.dll::Localizer"), ::testing::ExitedWithCode(0),
              ::testing::HasSubstr("Error: An error occurred while loading library "
                                   "Localizer.dll::Localizer. \n\nIt may have been removed. "
                                   "Please reinstall the application. If the problem persists, "
                                   "contact technical support.\n"));
}

}  // namespace
}  // namespace tavrin::helpers
