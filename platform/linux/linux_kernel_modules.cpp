// Kernel modules as the drivers of the system: every module the kernel lists under /sys/module,
// loaded ones with their state, references and size, built-in ones as "built-in".
#include <charconv>

#include "base/strings.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/proc_text.h"

namespace tavrin::platform {
namespace {

constexpr const char* kSysModule = "/sys/module";
constexpr const char* kProcModules = "/proc/modules";

template <class T>
T NumberOr(const Answer<std::string>& line, T fallback) {
  if (!line) return fallback;
  T v{};
  if (std::from_chars(line->data(), line->data() + line->size(), v).ec != std::errc())
    return fallback;
  return v;
}

std::map<std::string, std::string> ModuleFiles(const FileReader& files) {
  auto release = files.ReadLine("/proc/sys/kernel/osrelease");
  if (!release || release->empty()) return {};
  auto dep = files.ReadFile("/lib/modules/" + *release + "/modules.dep");
  if (!dep) return {};
  return proc::ParseModuleFiles(*dep);
}

// "name size refcount deps state address" lines, where /sys/module cannot be listed.
std::vector<DriverRecord> ParseProcModules(std::string_view text,
                                           const std::map<std::string, std::string>& moduleFiles) {
  std::vector<DriverRecord> drivers;
  for (auto line : base::SplitLines(text)) {
    std::vector<std::string> f;
    for (auto& part : base::SplitNonEmpty(line, ' ')) f.push_back(part);
    if (f.size() < 5) continue;
    DriverRecord d;
    d.name = f[0];
    std::from_chars(f[1].data(), f[1].data() + f[1].size(), d.size);
    std::from_chars(f[2].data(), f[2].data() + f[2].size(), d.loadCount);
    d.state = base::Lower(f[4]);
    if (auto it = moduleFiles.find(d.name); it != moduleFiles.end()) d.file = it->second;
    drivers.push_back(std::move(d));
  }
  return drivers;
}

}  // namespace

Answer<std::vector<DriverRecord>> ReadLinuxKernelModules(const FileReader& files) {
  const auto moduleFiles = ModuleFiles(files);
  auto names = files.ListDir(kSysModule);
  if (!names) {
    auto text = files.ReadFile(kProcModules);
    if (!text) return {std::nullopt, names.source};
    return Answer<std::vector<DriverRecord>>::Of(ParseProcModules(*text, moduleFiles),
                                                 kProcModules);
  }
  std::vector<DriverRecord> drivers;
  drivers.reserve(names->size());
  for (const auto& name : *names) {
    const std::string dir = std::string(kSysModule) + "/" + name;
    DriverRecord d;
    d.name = name;
    // Only a loadable module has a load state; the others are built into the kernel.
    auto state = files.ReadLine(dir + "/initstate");
    d.state = state ? *state : "built-in";
    d.loadCount = NumberOr<int32_t>(files.ReadLine(dir + "/refcnt"), 0);
    d.size = NumberOr<uint64_t>(files.ReadLine(dir + "/coresize"), 0);
    if (auto version = files.ReadLine(dir + "/version")) d.version = *version;
    if (auto it = moduleFiles.find(name); it != moduleFiles.end()) d.file = it->second;
    drivers.push_back(std::move(d));
  }
  return Answer<std::vector<DriverRecord>>::Of(std::move(drivers), kSysModule);
}

}  // namespace tavrin::platform
