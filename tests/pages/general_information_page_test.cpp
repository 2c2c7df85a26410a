#include <gtest/gtest.h>

#include "text/labels.h"
#include "gather/controller.h"
#include "pages/fillers.h"
#include "platform/recorded/snapshot.h"

namespace tavrin::pages {
namespace {

TEST(GeneralPage, OperatingSystemRowsAndSummary) {
  auto opened =
      platform::OpenSnapshot(std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/os/xp");
  ASSERT_TRUE(opened.services) << opened.error;
  auto aggregate = std::make_shared<collectors::TVexa_SystemInfo>(
      std::make_shared<const platform::Services>(std::move(*opened.services)));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  aggregate->Refresh<collectors::TVexa_OperatingSystem>(std::chrono::seconds(30));

  auto rows = [&controller]() {
    controller.FillCategory(*FindCategory("generalinfo"), nullptr);
    return controller.FindPage("generalinfo")->Sections()[0].Items;
  };
  auto easy = rows();
  ASSERT_EQ(easy.size(), 1u) << "the language row is advanced-only";
  EXPECT_EQ(easy[0].Caption, lbl::S_GEN_WINNAME);
  EXPECT_EQ(easy[0].SubItems[0], " Windows XP (5.1.2600) Home");
  EXPECT_EQ(controller.summary.windows_name, "Windows XP (5.1.2600) Home");

  controller.SetAdvancedMode(true);
  auto advanced = rows();
  ASSERT_EQ(advanced.size(), 2u);
  EXPECT_EQ(advanced[1].Caption, lbl::S_GEN_LANGUAGE);
  EXPECT_EQ(advanced[1].SubItems[0], " Deutsch (Deutschland) (ID: $0407)");
}

}  // namespace
}  // namespace tavrin::pages
