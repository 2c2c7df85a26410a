// libFuzzer target: the text decoders of the software collectors over arbitrary bytes. The
// first byte chooses the decoder: dpkg status (and its journal), desktop entry, unit file,
// crontab and rc.local, version texts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "collectors/os/boot_entries.h"
#include "collectors/os/desktop_entry.h"
#include "collectors/os/dpkg_status.h"
#include "collectors/os/runtime_versions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  using namespace tavrin::collectors;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 5) {
    case 0: {
      auto packages = ParseDpkgStatus(text);
      ApplyDpkgUpdates(packages, {ParseDpkgStatus(text.substr(text.size() / 2))});
      for (const auto& p : packages) (void)DpkgListName(p, true);
      break;
    }
    case 1: {
      const DesktopFileEntry entry = ParseDesktopEntry(text, "de_DE.UTF-8@euro");
      (void)CommandWithoutFieldCodes(entry.exec);
      (void)StartsWithSession(entry, {"GNOME"});
      break;
    }
    case 2:
      (void)ParseUnitFile(text);
      break;
    case 3:
      (void)CronRebootCommands(text, true);
      (void)CronRebootCommands(text, false);
      (void)RcLocalDoesSomething(text);
      break;
    default:
      (void)UpstreamVersion(text);
      (void)VersionInOutput(text);
      (void)JavaReleaseVersion(text);
  }
  return 0;
}
