#include "platform/recorded/recorded_processor.h"
#include "platform/whole_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/strings.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kProcessorDir = "cpuid";
constexpr std::string_view kProcessorInfo = "processor.json";
// Register dumps of even a thousand processors stay far below this.
constexpr std::size_t kMaxDumpBytes = std::size_t{16} << 20;

std::optional<uint32_t> Hex32(std::string_view text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

using base::StartsWith;
using base::TrimEnd;

// Builds the processors line by line; a header starts the next processor, and leaves before
// any header belong to a first one.
class DumpBuilder {
 public:
  void NewCpu() {
    if (!cpus_.empty() && cpus_.back().empty()) return;
    cpus_.emplace_back();
  }
  // Without an explicit sub-leaf, repeated lines of one leaf are its sub-leaves 0, 1, 2 ...
  void Add(uint32_t leaf, std::optional<uint32_t> subleaf, const CpuidRegisters& regs) {
    if (cpus_.empty()) cpus_.emplace_back();
    auto& cpu = cpus_.back();
    uint32_t sl = 0;
    if (subleaf) {
      sl = *subleaf;
    } else if (!cpu.empty() && cpu.back().leaf == leaf) {
      sl = cpu.back().subleaf + 1;
    }
    cpu.push_back({leaf, sl, regs});
  }
  std::vector<LogicalCpuDump> Take() {
    std::erase_if(cpus_, [](const LogicalCpuDump& cpu) { return cpu.empty(); });
    return std::move(cpus_);
  }

 private:
  std::vector<LogicalCpuDump> cpus_;
};

// "CPUID LLLLLLLL: EEEEEEEE-BBBBBBBB-CCCCCCCC-DDDDDDDD [SL nn] [note]" and the tab form.
bool ParseCpuidLine(std::string_view line, DumpBuilder& out) {
  if (!StartsWith(line, "CPUID ") || line.size() < 14) return false;
  auto leaf = Hex32(line.substr(6, 8));
  if (!leaf) return false;
  std::string_view rest = line.substr(14);
  const auto start = rest.find_first_not_of(": \t");
  if (start == std::string_view::npos) return false;
  rest = rest.substr(start);
  CpuidRegisters regs;
  uint32_t* fields[] = {&regs.eax, &regs.ebx, &regs.ecx, &regs.edx};
  for (int i = 0; i < 4; ++i) {
    if (rest.size() < 8) return false;
    auto v = Hex32(rest.substr(0, 8));
    if (!v) return false;
    *fields[i] = *v;
    rest = rest.substr(8);
    if (i < 3) {
      if (rest.empty() || (rest[0] != '-' && rest[0] != ' ')) return false;
      rest = rest.substr(1);
    }
  }
  std::optional<uint32_t> subleaf;
  const auto sl = rest.find_first_not_of(' ');
  if (sl != std::string_view::npos && StartsWith(rest.substr(sl), "[SL ")) {
    auto text = rest.substr(sl + 4);
    const auto close = text.find(']');
    if (close != std::string_view::npos) subleaf = Hex32(text.substr(0, close));
  }
  out.Add(*leaf, subleaf, regs);
  return true;
}

// "basic_cpuid[3]=eeeeeeee bbbbbbbb cccccccc dddddddd" and its relatives.
bool ParseKeyValueLine(std::string_view line, DumpBuilder& out, uint32_t maxBasic,
                       uint32_t maxExt) {
  const auto open = line.find('[');
  const auto close = line.find("]=");
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return false;
  const std::string_view name = line.substr(0, open);
  unsigned index = 0;
  auto idx = line.substr(open + 1, close - open - 1);
  if (std::from_chars(idx.data(), idx.data() + idx.size(), index).ec != std::errc()) return false;
  std::istringstream in{std::string(line.substr(close + 2))};
  std::string words[4];
  if (!(in >> words[0] >> words[1] >> words[2] >> words[3])) return false;
  CpuidRegisters regs;
  uint32_t* fields[] = {&regs.eax, &regs.ebx, &regs.ecx, &regs.edx};
  for (int i = 0; i < 4; ++i) {
    auto v = Hex32(words[i]);
    if (!v) return false;
    *fields[i] = *v;
  }
  // Entries above the maximum leaf are padding (repeats or zeros), not leaves.
  if (name == "basic_cpuid") {
    if (index == 0 || index <= maxBasic) out.Add(index, 0, regs);
  } else if (name == "ext_cpuid") {
    if (index == 0 || 0x80000000u + index <= maxExt) out.Add(0x80000000u + index, 0, regs);
  } else if (name == "intel_fn4") {
    if (maxBasic >= 4) out.Add(4, index, regs);
  } else if (name == "intel_fn11") {
    if (maxBasic >= 0xB) out.Add(0xB, index, regs);
  } else if (name == "intel_fn12h") {
    if (maxBasic >= 0x12) out.Add(0x12, index, regs);
  } else if (name == "intel_fn14h") {
    if (maxBasic >= 0x14) out.Add(0x14, index, regs);
  } else if (name == "amd_fn8000001dh") {
    if (maxExt >= 0x8000001Du) out.Add(0x8000001Du, index, regs);
  }
  return true;
}

// Sub-leaf entries of the key=value layout come after the plain leaves; the plain entry of a
// leaf that also has sub-leaf entries is replaced by them.
void MergeSubleafEntries(LogicalCpuDump& cpu) {
  std::stable_sort(cpu.begin(), cpu.end(), [](const CpuidEntry& a, const CpuidEntry& b) {
    return a.leaf != b.leaf ? a.leaf < b.leaf : a.subleaf < b.subleaf;
  });
  // Keep the last entry of each (leaf, sub-leaf): the explicit sub-leaf list wins.
  LogicalCpuDump merged;
  for (const auto& e : cpu) {
    if (!merged.empty() && merged.back().leaf == e.leaf && merged.back().subleaf == e.subleaf)
      merged.back() = e;
    else
      merged.push_back(e);
  }
  cpu = std::move(merged);
}

uint32_t MaxLeaf(const LogicalCpuDump& cpu, uint32_t base) {
  for (const auto& e : cpu)
    if (e.leaf == base && e.subleaf == 0) return e.regs.eax;
  return 0;
}

ProcessorSystemInfo InfoFromRegisters(const std::vector<LogicalCpuDump>& cpus) {
  ProcessorSystemInfo info;
  info.processorCount = static_cast<uint32_t>(std::max<std::size_t>(cpus.size(), 1));
  if (cpus.empty()) return info;
  const auto leaf1 = LookupLeaf(cpus[0], 1, 0);
  const uint32_t family = (leaf1.eax >> 8) & 0xF;
  const uint32_t model = (leaf1.eax >> 4) & 0xF;
  const uint32_t ext_model = (leaf1.eax >> 16) & 0xF;
  const uint32_t display_family = family == 0xF ? family + ((leaf1.eax >> 20) & 0xFF) : family;
  const uint32_t display_model = (family == 6 || family == 0xF) ? (ext_model << 4) + model : model;
  info.level = static_cast<uint16_t>(display_family);
  info.revision = static_cast<uint16_t>(((display_model & 0xFF) << 8) | (leaf1.eax & 0xF));
  // A processor with long mode is reported as x64, as a 64-bit system would see it.
  const bool long_mode = MaxLeaf(cpus[0], 0x80000000u) >= 0x80000001u &&
                         (LookupLeaf(cpus[0], 0x80000001u, 0).edx >> 29 & 1);
  info.architecture = long_mode ? kArchX64 : kArchX86;
  return info;
}

}  // namespace

namespace {

// Every processor block of the text, whether or not the first one holds leaf 0.
std::vector<LogicalCpuDump> ParseCpuidBlocks(std::string_view text) {
  DumpBuilder builder;
  bool key_value = false;
  uint32_t max_basic = 0, max_ext = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimEnd(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.size() == 80 && line.find_first_not_of('-') == std::string_view::npos) break;
    if (line.empty()) continue;
    if (line.find("Logical CPU #") != std::string_view::npos ||
        (StartsWith(line, "CPU#") && line.find("AffMask") != std::string_view::npos) ||
        StartsWith(line, "CPUID Registers (CPU #")) {
      builder.NewCpu();
      continue;
    }
    if (ParseCpuidLine(line, builder)) continue;
    // The key=value layout bounds its leaf lists by leaf 0 and 0x80000000 of the same block;
    // both come first in the block.
    if (StartsWith(line, "basic_cpuid[0]=") || StartsWith(line, "ext_cpuid[0]=")) {
      std::istringstream in{std::string(line.substr(line.find('=') + 1))};
      std::string eax;
      in >> eax;
      const uint32_t max = Hex32(eax).value_or(0);
      if (line[0] == 'b')
        max_basic = max;
      else
        max_ext = max;
    }
    if (ParseKeyValueLine(line, builder, max_basic, max_ext)) key_value = true;
  }
  auto cpus = builder.Take();
  if (key_value)
    for (auto& cpu : cpus) MergeSubleafEntries(cpu);
  return cpus;
}

bool HasLeafZero(const std::vector<LogicalCpuDump>& cpus) {
  return !cpus.empty() && std::any_of(cpus[0].begin(), cpus[0].end(),
                                      [](const CpuidEntry& e) { return e.leaf == 0; });
}

}  // namespace

std::vector<LogicalCpuDump> ParseCpuidDump(std::string_view text) {
  auto cpus = ParseCpuidBlocks(text);
  // A text without leaf 0 in its first processor is no dump.
  return HasLeafZero(cpus) ? cpus : std::vector<LogicalCpuDump>{};
}

std::string FormatCpuidDump(const std::vector<LogicalCpuDump>& cpus, unsigned first) {
  std::string out;
  char line[96];
  for (std::size_t i = 0; i < cpus.size(); ++i) {
    out += "------[ CPUID Registers / Logical CPU #" + std::to_string(first + i) + " ]------\n";
    for (const auto& e : cpus[i]) {
      std::snprintf(line, sizeof line, "CPUID %08X: %08X-%08X-%08X-%08X [SL %02X]\n", e.leaf,
                    e.regs.eax, e.regs.ebx, e.regs.ecx, e.regs.edx, e.subleaf);
      out += line;
    }
  }
  return out;
}

RecordedProcessorService::RecordedProcessorService(std::vector<LogicalCpuDump> cpus,
                                                   std::string source,
                                                   std::optional<ProcessorSystemInfo> info,
                                                   double tscMHz,
                                                   std::optional<KernelProcessorRecord> kernel)
    : cpus_(std::move(cpus)),
      source_(std::move(source)),
      info_(info ? *info : InfoFromRegisters(cpus_)),
      tsc_mhz_(tscMHz),
      kernel_(std::move(kernel)) {}

LogicalCpuDump RecordedProcessorService::ReadLeaves() const {
  const unsigned cpu = CurrentCpu();
  return cpu < cpus_.size() ? cpus_[cpu] : LogicalCpuDump{};
}

Answer<KernelProcessorRecord> RecordedProcessorService::KernelRecord() const {
  if (!kernel_)
    return Answer<KernelProcessorRecord>::Fail(Status::NotSupported, source_,
                                               "no kernel record in this source");
  return Answer<KernelProcessorRecord>::Of(*kernel_, source_ + " (kernel.json)");
}

std::string KernelRecordToJson(const KernelProcessorRecord& r) {
  nlohmann::json j;
  j["vendorId"] = r.vendorId;
  j["modelName"] = r.modelName;
  j["cpuPart"] = r.cpuPart;
  j["cpuMHz"] = r.cpuMHz;
  j["maxKHz"] = r.maxKHz;
  j["places"] = nlohmann::json::array();
  for (const auto& p : r.places)
    j["places"].push_back({{"cpu", p.cpu}, {"package", p.package}, {"core", p.core}});
  j["caches"] = nlohmann::json::array();
  for (const auto& c : r.caches)
    j["caches"].push_back({{"level", c.level},
                           {"type", c.type},
                           {"sizeBytes", c.sizeBytes},
                           {"ways", c.ways},
                           {"lineSize", c.lineSize},
                           {"sharedBy", c.sharedBy}});
  return j.dump(2) + "\n";
}

std::optional<KernelProcessorRecord> KernelRecordFromJson(std::string_view text,
                                                          std::string_view file) {
  auto j = nlohmann::json::parse(text, nullptr, false);
  if (!j.is_object()) return std::nullopt;
  KernelProcessorRecord r;
  r.vendorId = FieldOr(j, "vendorId", std::string(), file);
  r.modelName = FieldOr(j, "modelName", std::string(), file);
  r.cpuPart = FieldOr(j, "cpuPart", std::string(), file);
  r.cpuMHz = FieldOr(j, "cpuMHz", 0.0, file);
  r.maxKHz = FieldOr(j, "maxKHz", 0u, file);
  if (j.contains("places") && j["places"].is_array())
    for (const auto& p : j["places"])
      if (p.is_object())
        r.places.push_back({FieldOr(p, "cpu", 0u, file), FieldOr(p, "package", std::string(), file),
                            FieldOr(p, "core", std::string(), file)});
  if (j.contains("caches") && j["caches"].is_array())
    for (const auto& c : j["caches"])
      if (c.is_object())
        r.caches.push_back({FieldOr(c, "level", 0, file), FieldOr(c, "type", std::string(), file),
                            FieldOr(c, "sizeBytes", uint64_t{0}, file),
                            FieldOr(c, "ways", 0u, file), FieldOr(c, "lineSize", 0u, file),
                            FieldOr(c, "sharedBy", 0u, file)});
  return r;
}

unsigned RecordedProcessorService::CurrentCpu() const {
  std::lock_guard lock(mutex_);
  auto it = current_.find(std::this_thread::get_id());
  return it == current_.end() ? 0 : it->second;
}

CpuidRegisters RecordedProcessorService::ExecuteCPUID(uint32_t leaf, uint32_t subleaf) const {
  const unsigned cpu = CurrentCpu();
  if (cpu >= cpus_.size()) return {};
  return LookupLeaf(cpus_[cpu], leaf, subleaf);
}

Answer<ProcessorSystemInfo> RecordedProcessorService::SystemInfo() const {
  return Answer<ProcessorSystemInfo>::Of(info_, source_);
}

PinState RecordedProcessorService::PinCallingThread(unsigned index) const {
  PinState state;
  if (index >= cpus_.size()) return state;
  const unsigned previous = CurrentCpu();
  state.pinned = true;
  if (previous == index) return state;
  state.restore = true;
  state.previous_mask.assign(previous / 64 + 1, 0);
  state.previous_mask[previous / 64] |= uint64_t{1} << (previous % 64);
  std::lock_guard lock(mutex_);
  current_[std::this_thread::get_id()] = index;
  return state;
}

void RecordedProcessorService::RestoreCallingThread(const PinState& state) const {
  if (!state.restore) return;
  unsigned previous = 0;
  for (std::size_t w = 0; w < state.previous_mask.size(); ++w)
    for (unsigned b = 0; b < 64; ++b)
      if (state.previous_mask[w] >> b & 1) previous = static_cast<unsigned>(w * 64 + b);
  std::lock_guard lock(mutex_);
  current_[std::this_thread::get_id()] = previous;
}

uint64_t RecordedProcessorService::ReadClock() const {
  return clock_.fetch_add(1000) + 1000;
}

void RecordedProcessorService::Sleep(std::chrono::milliseconds duration) const {
  clock_.fetch_add(static_cast<uint64_t>(duration.count()) * 1'000'000);
}

std::optional<uint64_t> RecordedProcessorService::ReadTimeStampCounter() const {
  if (tsc_mhz_ <= 0) return std::nullopt;
  // Clock ticks are nanoseconds: cycles = ns * MHz / 1000.
  return static_cast<uint64_t>(static_cast<double>(clock_.load()) * tsc_mhz_ / 1000.0);
}

std::shared_ptr<const ProcessorService> LoadRecordedProcessor(const std::filesystem::path& dir,
                                                              std::vector<std::string>& warnings) {
  const auto folder = dir / kProcessorDir;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return nullptr;
  // cpu0.txt, cpu1.txt ... in number order (cpu10 after cpu9); other dump files by name.
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.path().extension() == ".txt" || entry.path().extension() == ".test")
      files.push_back(entry.path());
  auto number = [](const std::filesystem::path& p) {
    const std::string stem = p.stem().string();
    const auto digits = stem.find_first_of("0123456789");
    return digits == std::string::npos ? 0UL : std::strtoul(stem.c_str() + digits, nullptr, 10);
  };
  std::sort(files.begin(), files.end(), [&](const auto& a, const auto& b) {
    return number(a) != number(b) ? number(a) < number(b) : a < b;
  });
  std::vector<LogicalCpuDump> cpus;
  for (const auto& file : files) {
    auto text = ReadSnapshotFile(file, kMaxDumpBytes);
    if (!text) continue;  // gone since the folder was listed
    std::string why;
    auto parsed = ParseCpuidDumpExplained(*text, why);
    if (parsed.empty()) {
      warnings.push_back(file.filename().string() + ": " + why);
      continue;
    }
    for (auto& cpu : parsed) cpus.push_back(std::move(cpu));
  }
  std::optional<KernelProcessorRecord> kernel;
  const auto kernel_file = folder / "kernel.json";
  if (auto text = ReadSnapshotFile(kernel_file, kMaxDumpBytes)) {
    kernel = KernelRecordFromJson(*text, kernel_file.string());
    if (!kernel) warnings.push_back(std::string(kProcessorDir) + "/kernel.json: not valid JSON");
  }
  // A machine without CPUID (ARM) is still a processor: the kernel's record describes it.
  if (cpus.empty() && !kernel) return nullptr;
  std::optional<ProcessorSystemInfo> info;
  double tsc_mhz = 0;
  const auto info_file = folder / kProcessorInfo;
  if (auto text = ReadSnapshotFile(info_file, kMaxDumpBytes)) {
    auto j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_object()) {
      const std::string name = info_file.string();
      ProcessorSystemInfo i;
      i.architecture = FieldOr(j, "architecture", uint16_t{kArchX86}, name);
      i.processorCount = FieldOr(j, "processorCount", static_cast<uint32_t>(cpus.size()), name);
      i.level = FieldOr(j, "level", uint16_t{0}, name);
      i.revision = FieldOr(j, "revision", uint16_t{0}, name);
      info = i;
      tsc_mhz = FieldOr(j, "tscMHz", 0.0, name);
    } else {
      warnings.push_back(std::string(kProcessorDir) + "/" + std::string(kProcessorInfo) +
                         ": not valid JSON");
    }
  }
  return std::make_shared<RecordedProcessorService>(std::move(cpus), "snapshot " + folder.string(),
                                                    info, tsc_mhz, std::move(kernel));
}

std::vector<LogicalCpuDump> ParseCpuidDumpExplained(std::string_view text, std::string& why) {
  auto cpus = ParseCpuidBlocks(text);
  if (cpus.empty() ||
      std::all_of(cpus.begin(), cpus.end(), [](const auto& c) { return c.empty(); })) {
    why = "no CPUID register lines";
    return {};
  }
  if (!HasLeafZero(cpus)) {
    why = "no leaf 0 in its first processor";
    return {};
  }
  return cpus;
}

std::shared_ptr<const ProcessorService> LoadProcessorDump(std::string_view bytes,
                                                          const std::filesystem::path& file,
                                                          std::string& why) {
  auto cpus = ParseCpuidDumpExplained(bytes, why);
  if (cpus.empty()) return nullptr;
  return std::make_shared<RecordedProcessorService>(std::move(cpus), "dump " + file.string());
}

std::shared_ptr<const ProcessorService> LoadProcessorDumpFile(const std::filesystem::path& file) {
  auto text = ReadWholeFile(file, kMaxDumpBytes);
  if (!text) return nullptr;
  std::string why;
  return LoadProcessorDump(*text, file, why);
}

}  // namespace tavrin::platform
