// Services of a Linux machine captured as a file tree, with an environment, locale database
// and desktop settings of the test's choosing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/linux/linux_os_facts.h"
#include "platform/os_services.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {

struct LinuxTree {
  std::vector<std::string> environment;
  std::shared_ptr<const platform::LocaleDatabase> locales = {};
  std::shared_ptr<const platform::DesktopProxySource> desktop = {};
  std::shared_ptr<const platform::FileReader> files = {};  ///< null: the tree as it is

  std::shared_ptr<const platform::Services> Services(const std::filesystem::path& root) const {
    auto s = std::make_shared<platform::Services>(*MakeTestServices(root));
    if (files) s->files = files;
    s->environment = std::make_shared<platform::FixedEnvironment>(environment);
    s->locales = locales ? locales : platform::UnsupportedLocales("none in this test");
    s->desktopProxy = desktop ? desktop : platform::UnsupportedDesktopProxy("none in this test");
    s->os = platform::MakeLinuxOsFacts(s->files, s->environment, s->system,
                                       platform::LinuxCalls::FilesOnly);
    return s;
  }
};

}  // namespace tavrin::testing
