#include "platform/linux/proc_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "base/strings.h"

namespace tavrin::platform::proc {
namespace {

using base::Trim;

template <class T>
std::optional<T> Number(std::string_view text) {
  text = Trim(text);
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

// Calls `line` for every line of `text`.
template <class F>
void ForEachLine(std::string_view text, F line) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    line(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// "Key:   1234 kB" as bytes; values without the unit are plain numbers.
std::optional<uint64_t> KilobyteValue(std::string_view value) {
  value = Trim(value);
  const bool kb = value.ends_with("kB");
  if (kb) value.remove_suffix(2);
  auto n = Number<uint64_t>(value);
  if (n && kb) *n *= 1024;
  return n;
}

// Whitespace-separated fields of `text`, at most `limit`.
std::vector<std::string_view> Fields(std::string_view text, std::size_t limit = 64) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < text.size() && fields.size() < limit) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n') ++i;
    if (i > start) fields.push_back(text.substr(start, i - start));
    if (i < text.size() && text[i] == '\n') break;
  }
  return fields;
}

}  // namespace

MemInfo ParseMemInfo(std::string_view text) {
  MemInfo info;
  ForEachLine(text, [&](std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    std::optional<uint64_t>* field = nullptr;
    if (key == "MemTotal")
      field = &info.memTotal;
    else if (key == "MemFree")
      field = &info.memFree;
    else if (key == "MemAvailable")
      field = &info.memAvailable;
    else if (key == "Buffers")
      field = &info.buffers;
    else if (key == "Cached")
      field = &info.cached;
    else if (key == "SwapTotal")
      field = &info.swapTotal;
    else if (key == "SwapFree")
      field = &info.swapFree;
    else if (key == "CommitLimit")
      field = &info.commitLimit;
    else if (key == "Committed_AS")
      field = &info.committed;
    if (field) *field = KilobyteValue(value);
  });
  return info;
}

MemoryStatus MemoryStatusFromMemInfo(const MemInfo& info) {
  MemoryStatus s;
  s.physicalTotal = info.memTotal.value_or(0);
  s.physicalFree = info.memAvailable ? *info.memAvailable
                                     : info.memFree.value_or(0) + info.buffers.value_or(0) +
                                           info.cached.value_or(0);
  if (s.physicalFree > s.physicalTotal) s.physicalFree = s.physicalTotal;
  s.swapTotal = info.swapTotal.value_or(0);
  s.swapFree = std::min(info.swapFree.value_or(0), s.swapTotal);
  s.commitLimit = info.commitLimit.value_or(0);
  s.committed = info.committed.value_or(0);
  if (s.physicalTotal > 0) {
    const double used = static_cast<double>(s.physicalTotal - s.physicalFree);
    s.memoryLoad =
        static_cast<uint32_t>(std::lround(used * 100.0 / static_cast<double>(s.physicalTotal)));
  }
  return s;
}

AuxVector ParseAuxVector(std::string_view bytes) {
  AuxVector aux;
  constexpr uint64_t kPageSize = 6, kClockTicks = 17;  // AT_PAGESZ, AT_CLKTCK (elf.h values)
  for (std::size_t at = 0; at + 16 <= bytes.size(); at += 16) {
    uint64_t type = 0, value = 0;
    std::memcpy(&type, bytes.data() + at, 8);
    std::memcpy(&value, bytes.data() + at + 8, 8);
    if (type == 0) break;
    if (type == kPageSize) aux.pageSize = value;
    if (type == kClockTicks) aux.clockTicks = value;
  }
  return aux;
}

std::optional<uint64_t> UserAddressSpaceTop(std::string_view maps) {
  uint64_t top = 0;
  ForEachLine(maps, [&](std::string_view line) {
    const std::size_t dash = line.find('-');
    const std::size_t blank = line.find(' ');
    if (dash == std::string_view::npos || blank == std::string_view::npos || blank < dash) return;
    uint64_t end = 0;
    const std::string_view text = line.substr(dash + 1, blank - dash - 1);
    if (std::from_chars(text.data(), text.data() + text.size(), end, 16).ec != std::errc()) return;
    // The vsyscall page lives in the kernel's half; it is no part of the program's space.
    if (end >= (uint64_t{1} << 63)) return;
    top = std::max(top, end);
  });
  if (top == 0) return std::nullopt;
  uint64_t power = 1;
  while (power < top && power < (uint64_t{1} << 63)) power <<= 1;
  return power;
}

CpuTimes ParseCpuTimes(std::string_view text, uint64_t ticksPerSecond) {
  CpuTimes times;
  if (ticksPerSecond == 0) ticksPerSecond = 100;
  ForEachLine(text, [&](std::string_view line) {
    if (line.starts_with("btime ")) {
      times.bootTime = Number<int64_t>(line.substr(6));
      return;
    }
    // "cpuN user nice system idle iowait ..."; the "cpu " line sums all processors.
    if (!line.starts_with("cpu") || line.size() < 4 || line[3] < '0' || line[3] > '9') return;
    const auto f = Fields(line, 6);
    if (f.size() < 5) return;
    auto number = Number<uint32_t>(f[0].substr(3));
    auto idle = Number<uint64_t>(f[4]);
    if (!number || !idle) return;
    uint64_t ticks = *idle;
    if (f.size() > 5)
      if (auto wait = Number<uint64_t>(f[5])) ticks += *wait;
    // 10 000 000 units of 100 ns make a second; a damaged count beyond what 64 bits hold
    // is capped rather than converted out of range.
    const long double exact =
        static_cast<long double>(ticks) * 10'000'000.0L / static_cast<long double>(ticksPerSecond);
    constexpr auto kMax = std::numeric_limits<int64_t>::max();
    const int64_t units =
        exact >= static_cast<long double>(kMax) ? kMax : static_cast<int64_t>(exact);
    times.idle.push_back({*number, units});
  });
  return times;
}

std::optional<ProcStat> ParseProcStat(std::string_view text) {
  const std::size_t open = text.find('(');
  const std::size_t close = text.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::nullopt;
  ProcStat st;
  auto pid = Number<uint32_t>(text.substr(0, open));
  if (!pid) return std::nullopt;
  st.pid = *pid;
  st.comm = std::string(text.substr(open + 1, close - open - 1));
  // Fields after the name, numbered from 3 (state) as in proc(5).
  const auto f = Fields(text.substr(close + 1), 30);
  if (f.size() < 22) return std::nullopt;
  auto at = [&](int field) { return f[static_cast<std::size_t>(field - 3)]; };
  st.state = at(3).empty() ? '?' : at(3)[0];
  st.parentPid = Number<uint32_t>(at(4)).value_or(0);
  st.flags = Number<uint64_t>(at(9)).value_or(0);
  st.minorFaults = Number<uint64_t>(at(10)).value_or(0);
  st.majorFaults = Number<uint64_t>(at(12)).value_or(0);
  st.userTicks = Number<uint64_t>(at(14)).value_or(0);
  st.systemTicks = Number<uint64_t>(at(15)).value_or(0);
  st.nice = Number<int32_t>(at(19)).value_or(0);
  st.threads = Number<int32_t>(at(20)).value_or(0);
  st.startTicks = Number<uint64_t>(at(22)).value_or(0);
  if (f.size() >= 22) st.virtualSize = Number<uint64_t>(at(23)).value_or(0);
  if (f.size() >= 23) st.residentPages = Number<uint64_t>(at(24)).value_or(0);
  return st;
}

ProcStatus ParseProcStatus(std::string_view text) {
  ProcStatus s;
  ForEachLine(text, [&](std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    if (key == "Name") {
      s.name = std::string(Trim(value));
    } else if (key == "Uid") {
      const auto f = Fields(value, 1);
      if (!f.empty()) s.uid = Number<uint32_t>(f[0]);
    } else if (key == "Groups") {
      for (auto g : Fields(value))
        if (auto id = Number<uint32_t>(g)) s.groups.push_back(*id);
    } else if (key == "Threads") {
      s.threads = Number<int32_t>(value);
    } else if (key == "CapPrm" || key == "CapEff") {
      const std::string_view hex = Trim(value);
      uint64_t mask = 0;
      const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), mask, 16);
      if (error == std::errc() && end == hex.data() + hex.size() && !hex.empty())
        (key == "CapPrm" ? s.capPermitted : s.capEffective) = mask;
    } else if (key.starts_with("Vm")) {
      if (key == "VmPeak")
        s.vmPeak = KilobyteValue(value);
      else if (key == "VmSize")
        s.vmSize = KilobyteValue(value);
      else if (key == "VmHWM")
        s.vmHwm = KilobyteValue(value);
      else if (key == "VmRSS")
        s.vmRss = KilobyteValue(value);
      else if (key == "VmSwap")
        s.vmSwap = KilobyteValue(value);
      else if (key == "VmPTE")
        s.vmPte = KilobyteValue(value);
    }
  });
  return s;
}

std::optional<uint64_t> ParseStatmResident(std::string_view text) {
  const auto f = Fields(text, 2);
  if (f.size() < 2) return std::nullopt;
  return Number<uint64_t>(f[1]);
}

std::optional<ProcessIo> ParseProcIo(std::string_view text) {
  ProcessIo io;
  bool any = false;
  ForEachLine(text, [&](std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    auto n = Number<uint64_t>(line.substr(colon + 1));
    if (!n) return;
    if (key == "syscr")
      io.readOperations = *n;
    else if (key == "syscw")
      io.writeOperations = *n;
    else if (key == "rchar")
      io.readBytes = *n;
    else if (key == "wchar")
      io.writeBytes = *n;
    else
      return;
    any = true;
  });
  if (!any) return std::nullopt;
  return io;
}

std::vector<ProcessModule> ParseModuleMaps(std::string_view maps) {
  std::vector<ProcessModule> modules;
  std::unordered_map<std::string_view, std::size_t> index;
  ForEachLine(maps, [&](std::string_view line) {
    // "start-end perms offset dev inode path": no field before the path holds a "/", so the
    // first one starts the path (which may hold blanks). Anonymous mappings have none.
    const std::size_t pathStart = line.find('/');
    if (pathStart == std::string_view::npos) return;
    std::string_view path = line.substr(pathStart);
    if (path.ends_with(" (deleted)")) path.remove_suffix(10);
    // Shared memory and device mappings are no files a program loaded.
    if (path.starts_with("/memfd:") || path.starts_with("/SYSV") || path.starts_with("/dev/"))
      return;
    const std::size_t dash = line.find('-');
    const std::size_t blank = line.find(' ');
    if (dash == std::string_view::npos || blank == std::string_view::npos || blank < dash) return;
    uint64_t start = 0, end = 0;
    std::from_chars(line.data(), line.data() + dash, start, 16);
    std::from_chars(line.data() + dash + 1, line.data() + blank, end, 16);
    auto [it, added] = index.try_emplace(path, modules.size());
    if (added) modules.push_back({std::string(FileNamePart(path)), std::string(path), 0, start});
    ProcessModule& m = modules[it->second];
    if (end > start) m.size += end - start;
    m.base = std::min(m.base, start);
  });
  return modules;
}

std::string ParseCommandLine(std::string_view bytes) {
  while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
  std::string line(bytes);
  for (char& c : line)
    if (c == '\0') c = ' ';
  return line;
}

std::map<uint32_t, std::string> ParseAccountNames(std::string_view text) {
  std::map<uint32_t, std::string> names;
  ForEachLine(text, [&](std::string_view line) {
    if (line.empty() || line[0] == '#') return;
    const std::size_t first = line.find(':');
    if (first == std::string_view::npos) return;
    const std::size_t second = line.find(':', first + 1);
    if (second == std::string_view::npos) return;
    const std::size_t third = line.find(':', second + 1);
    auto id = Number<uint32_t>(line.substr(
        second + 1, third == std::string_view::npos ? std::string_view::npos : third - second - 1));
    // The first entry for an id is the one the system's lookups answer with.
    if (id) names.try_emplace(*id, std::string(line.substr(0, first)));
  });
  return names;
}

std::string_view FileNamePart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::map<std::string, std::string> ParseModuleFiles(std::string_view modulesDep) {
  std::map<std::string, std::string> files;
  ForEachLine(modulesDep, [&](std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view file = line.substr(0, colon);
    std::string name(FileNamePart(file));
    const std::size_t ko = name.find(".ko");
    if (ko == std::string::npos) return;
    name.resize(ko);
    for (char& c : name)
      if (c == '-') c = '_';
    files.try_emplace(std::move(name), std::string(file));
  });
  return files;
}

UnitFile ParseUnitFile(std::string_view text) {
  UnitFile unit;
  ForEachLine(text, [&](std::string_view line) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') return;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key == "Description") {
      unit.description = std::string(value);
    } else if (key == "ExecStart" && unit.execStart.empty()) {
      std::string_view program = value;
      // Prefixes that change how the command runs: -, @, :, +, !, !!.
      while (!program.empty() && std::strchr("-@:+!", program.front())) program.remove_prefix(1);
      program = Trim(program);
      if (!program.empty() && program.front() == '"') {
        program.remove_prefix(1);
        program = program.substr(0, program.find('"'));
      } else {
        program = program.substr(0, program.find_first_of(" \t"));
      }
      unit.execStart = std::string(program);
    } else if (key == "User") {
      unit.user = std::string(value);
    } else if (key == "Requires") {
      for (auto name : Fields(value)) {
        if (!unit.required.empty()) unit.required += ' ';
        unit.required += name;
      }
    } else if (key == "Type") {
      unit.type = std::string(value);
    }
  });
  return unit;
}

}  // namespace tavrin::platform::proc
