// The options both programs share, how each program's parser takes them, and which language
// a run chooses.
#include <gtest/gtest.h>

#include <map>

#include "app/startup/window_options.h"
#include "cli/cli_options.h"
#include "session/language.h"
#include "session/start_options.h"

namespace tavrin::session {
namespace {

TEST(StartOptions, BothProgramsTakeTheSharedOptionsAlike) {
  const std::vector<std::string> args = {"-DEBUG",      "--replay",   "snap",      "--lang",
                                         "de_AT.UTF-8", "--advanced", "--timeout", "2.5"};
  const cli::ParsedArgs cli = cli::ParseCliArgs(args);
  const startup::ParsedWindowArgs window = startup::ParseWindowArgs(args);
  ASSERT_TRUE(cli.options) << cli.error;
  ASSERT_TRUE(window.options) << window.error;
  for (const StartOptions* o : {&cli.options->start, &window.options->start}) {
    EXPECT_EQ(o->replay, "snap");
    EXPECT_EQ(o->language, "de_AT.UTF-8");
    EXPECT_TRUE(o->advanced);
    EXPECT_EQ(o->collector_limit, std::chrono::milliseconds(2500));
  }
  EXPECT_TRUE(window.options->toolkit.empty());

  // Both refuse the same mistakes with one line.
  for (const auto& bad : std::vector<std::vector<std::string>>{{"--replay"},
                                                               {"--record", "a", "--replay", "b"},
                                                               {"--lang"},
                                                               {"--lang", "de DE"},
                                                               {"--timeout", "0"},
                                                               {"--timeout", "0.0001"},
                                                               {"--timeout", "1e-300"},
                                                               {"--bogus"}}) {
    const cli::ParsedArgs c = cli::ParseCliArgs(bad);
    const startup::ParsedWindowArgs w = startup::ParseWindowArgs(bad);
    EXPECT_FALSE(c.options) << bad[0];
    EXPECT_FALSE(w.options) << bad[0];
    EXPECT_EQ(c.error, w.error) << bad[0];
    EXPECT_EQ(c.error.find('\n'), std::string::npos);
  }
  // "-debug" belongs to the log only as the first argument.
  EXPECT_FALSE(cli::ParseCliArgs({"--advanced", "-debug"}).options);
}

TEST(StartOptions, WindowPassesToolkitArgumentsOnAndKnowsHelp) {
  const startup::ParsedWindowArgs parsed =
      startup::ParseWindowArgs({"-platform", "offscreen", "--version", "-reverse"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_TRUE(parsed.options->start.version);
  EXPECT_EQ(parsed.options->toolkit,
            (std::vector<std::string>{"-platform", "offscreen", "-reverse"}));
  const std::string usage = startup::WindowUsage();
  for (const char* option : {"--replay PATH", "--record DIR", "--lang CODE", "tavrin-cli"})
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  // The command line's help lists the same shared options.
  EXPECT_NE(cli::CliUsage().find(StartOptionsUsage()), std::string::npos);
}

TEST(StartOptions, MissingDisplayIsToldBeforeAnyWindowIsTried) {
  auto env = [](std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
      auto it = values.find(name);
      return it == values.end() ? nullptr : it->second.c_str();
    };
  };
  EXPECT_NE(startup::MissingDisplayReason(env({})).find("DISPLAY"), std::string::npos);
  EXPECT_NE(startup::MissingDisplayReason(env({{"DISPLAY", ""}})), "");
  EXPECT_NE(startup::MissingDisplayReason(env({{"DISPLAY", ":4711"}})).find(":4711"),
            std::string::npos)
      << "a local display without a server socket";
  EXPECT_EQ(startup::MissingDisplayReason(env({{"WAYLAND_DISPLAY", "wayland-0"}})), "");
  EXPECT_EQ(startup::MissingDisplayReason(env({{"QT_QPA_PLATFORM", "offscreen"}})), "");
  EXPECT_EQ(startup::MissingDisplayReason(env({{"DISPLAY", "remotehost:10.0"}})), "")
      << "a remote display cannot be checked here";
}

TEST(SessionLanguage, LangOptionThenSettingsThenLocale) {
  EXPECT_EQ(ChooseLanguageCode(std::nullopt, "", "DEA"), "DEA") << "no choice: the locale";
  EXPECT_EQ(ChooseLanguageCode(std::nullopt, "fra", "DEA"), "FRA") << "the settings' choice";
  EXPECT_EQ(ChooseLanguageCode("deu", "FRA", "ENU"), "DEU") << "--lang with a code";
  EXPECT_EQ(ChooseLanguageCode("de_CH.UTF-8", "FRA", "ENU"), "DES") << "--lang with a locale";
  EXPECT_EQ(ChooseLanguageCode("de", "", "ENU"), "DEU");
  EXPECT_EQ(ChooseLanguageCode("C", "", "DEU"), "ENU") << "the C locale is English";
  EXPECT_EQ(ChooseLanguageCode("", "", "ENG"), "ENG") << "an empty --lang is no choice";
}

}  // namespace
}  // namespace tavrin::session
