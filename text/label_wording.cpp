#include "text/label_wording.h"

#include <array>
#include <mutex>
#include <string>

#include "text/labels.h"
#include "platform/services.h"

namespace tavrin::text {
namespace {

struct Override {
  std::string* label;
  std::string_view linuxText;
};

// Labels whose Windows wording would misname what a Linux system shows.
const std::array<Override, 6>& Overrides() {
  static const std::array<Override, 6> table = {{
      {&lbl::S_GEN_WINNAME, "Operating System Name:"},
      {&lbl::S_WIN, "System Information"},
      {&lbl::S_WIN_DESC,
       "<font color = \"$404040\">The operation system page contains detailed information about "
       "the <b>operating system</b> installed on your PC.</font>"},
      {&lbl::S_WIN_WINVERSION, "System Version:"},
      {&lbl::S_WIN_LATESTSP, "Kernel Release:"},
      {&lbl::S_WINREGISTEREDTO, "Full Name:"},
  }};
  return table;
}

struct SectionOverride {
  std::string_view categoryKey, caption, linuxText;
};
constexpr std::array<SectionOverride, 1> kSections = {{
    {"wininfo", "Windows Information", "System Information"},
}};

std::mutex mutex;
bool active = false;
std::array<std::string, 6> kept;  // the texts the overrides replaced

}  // namespace

bool DescribesLinux(const platform::Services& services) {
  if (!services.system) return false;
  auto record = services.system->OsVersionRecord();
  if (record) return record->platform == platform::OsPlatform::Linux;
  // Without a version record only the machine we run on is known to be Linux.
  return platform::IsLiveMachine(services);
}

void ApplyPlatformWording(bool toLinux) {
  std::lock_guard lock(mutex);
  if (toLinux == active) return;
  const auto& table = Overrides();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (toLinux) {
      kept[i] = *table[i].label;
      *table[i].label = std::string(table[i].linuxText);
    } else {
      *table[i].label = kept[i];
    }
  }
  active = toLinux;
}

bool PlatformWordingActive() {
  std::lock_guard lock(mutex);
  return active;
}

std::string_view WordedSectionCaption(std::string_view categoryKey, std::string_view caption) {
  if (!PlatformWordingActive()) return caption;
  for (const SectionOverride& s : kSections)
    if (s.categoryKey == categoryKey && s.caption == caption) return s.linuxText;
  return caption;
}

}  // namespace tavrin::text
