#include "platform/linux/linux_processes.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/linux/proc_text.h"

namespace tavrin::platform {
namespace {

constexpr const char* kProc = "/proc";
constexpr const char* kStat = "/proc/stat";

bool IsNumber(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name)
    if (c < '0' || c > '9') return false;
  return true;
}

// Account names by id: the account files first, then (on this machine) the C library, which
// also knows directory-service accounts.
class AccountNames {
 public:
  AccountNames(const FileReader& files, bool live) : live_(live) {
    if (auto text = files.ReadFile("/etc/passwd")) users_ = proc::ParseAccountNames(*text);
    if (auto text = files.ReadFile("/etc/group")) groups_ = proc::ParseAccountNames(*text);
  }
  std::string User(uint32_t uid) {
    auto it = users_.find(uid);
    if (it != users_.end()) return it->second;
    std::string name = std::to_string(uid);
    if (live_) {
      passwd entry{};
      passwd* found = nullptr;
      char buffer[4096];
      if (getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        name = found->pw_name;
    }
    users_.emplace(uid, name);
    return name;
  }
  std::string Group(uint32_t gid) const {
    auto it = groups_.find(gid);
    return it != groups_.end() ? it->second : std::to_string(gid);
  }

 private:
  bool live_;
  std::map<uint32_t, std::string> users_, groups_;
};

struct Clock {
  uint64_t ticksPerSecond = 100;
  int64_t bootTime = 0;  // seconds since 1970; 0 when not known
};

int64_t TicksTo100ns(uint64_t ticks, uint64_t perSecond) {
  return static_cast<int64_t>(ticks / perSecond * 10'000'000 +
                              ticks % perSecond * 10'000'000 / perSecond);
}

void Note(ProcessRecord& record, const char* what, const Provenance& why) {
  record.unreadable.push_back(
      std::string(what) + ": " +
      (why.detail.empty() ? std::string(StatusName(why.status)) : why.detail));
}

// One process. False when it has gone away since the listing.
bool ReadProcess(const FileReader& files, const std::string& pid, const Clock& clock,
                 AccountNames& accounts, ProcessRecord& record) {
  const std::string dir = std::string(kProc) + "/" + pid;
  auto statText = files.ReadFile(dir + "/stat");
  if (!statText && statText.source.status == Status::Missing) return false;
  record.pid = static_cast<uint32_t>(std::stoul(pid));
  std::string comm;
  if (statText) {
    if (auto st = proc::ParseProcStat(*statText)) {
      comm = st->comm;
      record.state = st->state;
      record.parentPid = st->parentPid;
      record.kernelThread = st->kernelThread();
      record.priority = st->nice;
      record.threadCount = st->threads;
      record.userTime = TicksTo100ns(st->userTicks, clock.ticksPerSecond);
      record.kernelTime = TicksTo100ns(st->systemTicks, clock.ticksPerSecond);
      if (clock.bootTime > 0)
        record.createTime =
            clock.bootTime * 10'000'000 + TicksTo100ns(st->startTicks, clock.ticksPerSecond);
      ProcessMemory memory;
      memory.pageFaultCount = st->minorFaults + st->majorFaults;
      memory.virtualSize = st->virtualSize;
      record.memory = memory;
    }
  } else {
    Note(record, "stat", statText.source);
  }

  if (auto statusText = files.ReadFile(dir + "/status")) {
    const proc::ProcStatus status = proc::ParseProcStatus(*statusText);
    if (comm.empty()) comm = status.name;
    if (status.uid) {
      record.userId = status.uid;
      record.userName = accounts.User(*status.uid);
    }
    for (uint32_t gid : status.groups)
      record.groups.push_back({std::to_string(gid), accounts.Group(gid)});
    if (status.threads && record.threadCount == 0) record.threadCount = *status.threads;
    record.capabilitiesPermitted = status.capPermitted;
    record.capabilitiesEffective = status.capEffective;
    ProcessMemory memory = record.memory.value_or(ProcessMemory{});
    memory.peakVirtualSize = status.vmPeak.value_or(0);
    if (status.vmSize) memory.virtualSize = *status.vmSize;
    memory.peakWorkingSet = status.vmHwm.value_or(0);
    memory.workingSet = status.vmRss.value_or(0);
    memory.quotaPagedPool = status.vmPte.value_or(0);
    memory.pageFileUsage = status.vmSwap.value_or(0);
    memory.peakPageFileUsage = memory.pageFileUsage;
    if (!status.vmRss && !record.kernelThread) {
      if (auto statm = files.ReadFile(dir + "/statm"))
        if (auto pages = proc::ParseStatmResident(*statm))
          memory.workingSet = *pages * static_cast<uint64_t>(getpagesize());
    }
    record.memory = memory;
  } else if (statusText.source.status == Status::Missing) {
    return false;
  } else {
    Note(record, "status", statusText.source);
  }

  if (!record.kernelThread) {
    if (auto exe = files.ReadLink(dir + "/exe")) {
      std::string path = *exe;
      if (path.ends_with(" (deleted)")) path.resize(path.size() - 10);
      // A program run from an anonymous memory file has no path to show.
      if (!path.starts_with("/memfd:")) record.imageName = path;
    } else {
      Note(record, "exe", exe.source);
    }
    if (auto cmdline = files.ReadFile(dir + "/cmdline"))
      record.commandLine = proc::ParseCommandLine(*cmdline);
    if (auto maps = files.ReadFile(dir + "/maps")) {
      record.modules = proc::ParseModuleMaps(*maps);
    } else {
      Note(record, "maps", maps.source);
    }
  }
  // The kernel's command name is cut at 15 characters; the executable's own name is whole.
  if (!record.imageName.empty()) {
    record.name = std::string(proc::FileNamePart(record.imageName));
  } else if (!record.commandLine.empty() &&
             (record.commandLine.front() == '/' || comm.starts_with("memfd:"))) {
    // A program run from a memory file is named after that file; its first argument is better.
    record.name =
        std::string(proc::FileNamePart(record.commandLine.substr(0, record.commandLine.find(' '))));
  } else {
    record.name = comm;
  }

  if (auto io = files.ReadFile(dir + "/io")) {
    record.io = proc::ParseProcIo(*io);
  } else {
    Note(record, "io", io.source);
  }
  if (auto tasks = files.ListDir(dir + "/task")) {
    const bool several = std::count_if(tasks->begin(), tasks->end(), IsNumber) > 1;
    for (const auto& tid : *tasks) {
      if (!IsNumber(tid)) continue;
      // Each thread has a nice value of its own; a single thread is the process itself, so
      // only the threads of multi-threaded processes are read.
      int32_t nice = record.priority;
      if (several)
        if (auto text = files.ReadFile(dir + "/task/" + tid + "/stat", 4096))
          if (auto st = proc::ParseProcStat(*text)) nice = st->nice;
      record.threads.push_back({record.pid, static_cast<uint32_t>(std::stoul(tid)), nice, nice});
    }
    if (!record.threads.empty()) record.threadCount = static_cast<int32_t>(record.threads.size());
  }
  if (auto fds = files.ListDir(dir + "/fd")) {
    record.handleCount = static_cast<int32_t>(fds->size());
  } else {
    Note(record, "fd", fds.source);
  }
  return true;
}

class LinuxProcessService : public ProcessService {
 public:
  LinuxProcessService(std::shared_ptr<const FileReader> files, bool live)
      : files_(std::move(files)), live_(live) {}

  Answer<std::vector<ProcessRecord>> Processes() const override {
    return ReadLinuxProcesses(*files_, live_);
  }
  Answer<std::vector<DriverRecord>> Drivers() const override {
    return ReadLinuxKernelModules(*files_);
  }
  Answer<std::vector<ServiceRecord>> Services() const override {
    return ReadLinuxServiceUnits(*files_, live_);
  }
  Answer<std::vector<WindowRecord>> Windows() const override {
    if (!live_)
      return Answer<std::vector<WindowRecord>>::Fail(Status::NotSupported, "X11",
                                                     "windows are listed on this machine only");
    return ReadX11TopLevelWindows();
  }
  Answer<std::vector<ProcessorIdle>> IdleTimes() const override {
    auto text = files_->ReadFile(kStat);
    if (!text) return {std::nullopt, text.source};
    // The clock does not change while the program runs; sampling asks twice a second.
    std::call_once(ticks_once_, [this] { ticks_ = ClockTicksPerSecond(*files_, live_); });
    auto times = proc::ParseCpuTimes(*text, ticks_);
    if (times.idle.empty())
      return Answer<std::vector<ProcessorIdle>>::Fail(Status::Malformed, kStat,
                                                      "no processor lines");
    return Answer<std::vector<ProcessorIdle>>::Of(std::move(times.idle), kStat);
  }

 private:
  std::shared_ptr<const FileReader> files_;
  bool live_;
  mutable std::once_flag ticks_once_;
  mutable uint64_t ticks_ = 100;
};

}  // namespace

uint64_t ClockTicksPerSecond(const FileReader& files, bool live) {
  if (auto aux = files.ReadFile("/proc/self/auxv"))
    if (auto ticks = proc::ParseAuxVector(*aux).clockTicks; ticks && *ticks > 0) return *ticks;
  if (live) {
    const long ticks = sysconf(_SC_CLK_TCK);
    if (ticks > 0) return static_cast<uint64_t>(ticks);
  }
  return 100;
}

Answer<std::vector<ProcessRecord>> ReadLinuxProcesses(const FileReader& files, bool live) {
  auto names = files.ListDir(kProc);
  if (!names) return {std::nullopt, names.source};
  Clock clock;
  clock.ticksPerSecond = ClockTicksPerSecond(files, live);
  if (auto stat = files.ReadFile(kStat))
    clock.bootTime = proc::ParseCpuTimes(*stat, clock.ticksPerSecond).bootTime.value_or(0);
  AccountNames accounts(files, live);
  std::vector<ProcessRecord> records;
  records.reserve(names->size());
  for (const auto& name : *names) {
    if (!IsNumber(name)) continue;
    ProcessRecord record;
    if (ReadProcess(files, name, clock, accounts, record)) records.push_back(std::move(record));
  }
  std::sort(records.begin(), records.end(),
            [](const ProcessRecord& a, const ProcessRecord& b) { return a.pid < b.pid; });
  return Answer<std::vector<ProcessRecord>>::Of(std::move(records), kProc);
}

std::shared_ptr<const ProcessService> MakeLinuxProcessService(
    std::shared_ptr<const FileReader> files, bool live) {
  return std::make_shared<LinuxProcessService>(std::move(files), live);
}

}  // namespace tavrin::platform
