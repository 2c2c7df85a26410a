// Power supplies from /sys/class/power_supply and each processor's cpufreq and cpuidle
// folders.
#include <algorithm>
#include <charconv>

#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kSupplies = "/sys/class/power_supply";
constexpr std::string_view kCpus = "/sys/devices/system/cpu";

std::optional<uint64_t> Unsigned(const Answer<std::string>& line) {
  if (!line) return std::nullopt;
  uint64_t v = 0;
  const auto r = std::from_chars(line->data(), line->data() + line->size(), v);
  return r.ec == std::errc() ? std::optional<uint64_t>(v) : std::nullopt;
}

class LinuxPowerService : public PowerService {
 public:
  LinuxPowerService(std::shared_ptr<const FileReader> files, Probe<PowerEstimates> estimates)
      : files_(std::move(files)), estimates_(std::move(estimates)) {}

  Answer<std::vector<PowerSupplyRecord>> Supplies() const override {
    auto names = files_->ListDir(kSupplies);
    if (!names) return {std::nullopt, names.source};
    std::vector<PowerSupplyRecord> supplies;
    for (const auto& name : *names) {
      PowerSupplyRecord r;
      r.name = name;
      r.uevent = files_->ReadFile(std::string(kSupplies) + "/" + name + "/uevent", 65536);
      // A supply that went away between the listing and the read is no supply.
      if (!r.uevent && r.uevent.source.status == Status::Missing) continue;
      supplies.push_back(std::move(r));
    }
    return Answer<std::vector<PowerSupplyRecord>>::Of(std::move(supplies), std::string(kSupplies));
  }

  Answer<std::vector<ProcessorPowerRecord>> Processors() const override {
    auto names = files_->ListDir(kCpus);
    if (!names) return {std::nullopt, names.source};
    std::vector<ProcessorPowerRecord> cpus;
    for (const auto& name : *names) {
      if (name.size() < 4 || name.rfind("cpu", 0) != 0 ||
          name.find_first_not_of("0123456789", 3) != std::string::npos)
        continue;
      ProcessorPowerRecord r;
      r.number = std::atoi(name.c_str() + 3);
      const std::string dir = std::string(kCpus) + "/" + name;
      const std::string freq = dir + "/cpufreq";
      auto cur = files_->ReadLine(freq + "/scaling_cur_freq");
      r.frequencySource = cur.source;
      r.currentKHz = Unsigned(cur);
      r.maxKHz = Unsigned(files_->ReadLine(freq + "/cpuinfo_max_freq"));
      r.limitKHz = Unsigned(files_->ReadLine(freq + "/scaling_max_freq"));
      r.governor = files_->ReadLine(freq + "/scaling_governor").value_or({});
      r.driver = files_->ReadLine(freq + "/scaling_driver").value_or({});
      const std::string idle = dir + "/cpuidle";
      auto states = files_->ListDir(idle);
      r.idleSource = states.source;
      for (const auto& state : states.value_or({})) {
        if (state.rfind("state", 0) != 0) continue;
        const std::string s = idle + "/" + state;
        IdleStateRecord st;
        st.name = files_->ReadLine(s + "/name").value_or({});
        st.description = files_->ReadLine(s + "/desc").value_or({});
        st.latencyUs = Unsigned(files_->ReadLine(s + "/latency")).value_or(0);
        st.usage = Unsigned(files_->ReadLine(s + "/usage")).value_or(0);
        st.timeUs = Unsigned(files_->ReadLine(s + "/time")).value_or(0);
        st.disabled = files_->ReadLine(s + "/disable").value_or("0") == "1";
        r.idleStates.push_back(std::move(st));
      }
      cpus.push_back(std::move(r));
    }
    std::sort(cpus.begin(), cpus.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    return Answer<std::vector<ProcessorPowerRecord>>::Of(std::move(cpus), std::string(kCpus));
  }

  Answer<NtPowerReply> PowerInformation(uint32_t, std::size_t) const override {
    return Answer<NtPowerReply>::Fail(Status::NotSupported, "CallNtPowerInformation");
  }

  Answer<std::string> SystemPowerStatus() const override {
    return Answer<std::string>::Fail(Status::NotSupported, "GetSystemPowerStatus");
  }

  Answer<PowerEstimates> Estimates() const override {
    if (!estimates_) return Answer<PowerEstimates>::Fail(Status::NotSupported, "UPower");
    return estimates_();
  }

 private:
  std::shared_ptr<const FileReader> files_;
  Probe<PowerEstimates> estimates_;
};

}  // namespace

std::shared_ptr<const PowerService> MakeLinuxPowerService(std::shared_ptr<const FileReader> files,
                                                          Probe<PowerEstimates> estimates) {
  return std::make_shared<LinuxPowerService>(std::move(files), std::move(estimates));
}

}  // namespace tavrin::platform
