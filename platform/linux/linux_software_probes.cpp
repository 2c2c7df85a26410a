// The software probes of a live machine: file times by stat, librpm, programs run under a limit.
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/linux/linux_rpm.h"
#include "platform/linux/run_limited.h"
#include "platform/software_probes.h"

namespace tavrin::platform {
namespace {

// Long enough for a cold JVM to print its version, short enough not to hold up a page.
constexpr std::chrono::milliseconds kRunLimit{3000};

class LiveSoftwareProbes : public SoftwareProbes {
 public:
  explicit LiveSoftwareProbes(std::filesystem::path root) : root_(std::move(root)) {}

  Answer<std::map<std::string, int64_t>> ModifiedTimes(const std::string& dir,
                                                       const std::string& suffix) const override {
    const std::filesystem::path folder = root_ / std::filesystem::path(dir).relative_path();
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec)
      return Answer<std::map<std::string, int64_t>>::Fail(StatusFromErrno(ec.value()),
                                                          "stat " + dir, ec.message());
    std::map<std::string, int64_t> times;
    for (const auto& entry : it) {
      const std::string name = entry.path().filename().string();
      if (!name.ends_with(suffix)) continue;
      struct stat st {};
      if (::stat(entry.path().c_str(), &st) == 0) times[name] = st.st_mtim.tv_sec;
    }
    return Answer<std::map<std::string, int64_t>>::Of(std::move(times), "stat " + dir);
  }

  Answer<std::vector<RpmPackage>> RpmPackages() const override { return ReadRpmDatabase(root_); }

  Answer<std::string> RunVersion(const std::string&, const std::string& program,
                                 const std::vector<std::string>& args) const override {
    const std::filesystem::path path = root_ / std::filesystem::path(program).relative_path();
    auto answer = RunLimited(path.string(), args, kRunLimit);
    answer.source.source = "running " + program;
    return answer;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace

std::shared_ptr<const SoftwareProbes> MakeLiveSoftwareProbes(std::filesystem::path root) {
  return std::make_shared<LiveSoftwareProbes>(std::move(root));
}

}  // namespace tavrin::platform
