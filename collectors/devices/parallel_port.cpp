#include "collectors/devices/parallel_port.h"

#include <charconv>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

std::optional<long long> Number(std::string_view text) {
  text = base::Trim(text);
  long long v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

std::string TextOf(const platform::ParallelPortRecord& r, const char* file) {
  auto it = r.texts.find(file);
  return it == r.texts.end() ? std::string() : it->second;
}

// The driver writes -1 for "none" in the irq and dma files.
std::optional<int> Channel(std::string_view text) {
  auto v = Number(text);
  if (!v || *v < 0 || *v > 0xFFFF) return std::nullopt;
  return static_cast<int>(*v);
}

}  // namespace

TParallelDeviceId ParseParallelDeviceId(std::string_view text) {
  TParallelDeviceId id;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(";\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view field = base::Trim(text.substr(start, end - start));
    start = end + 1;
    const auto colon = field.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string key = base::Lower(base::Trim(field.substr(0, colon)));
    const std::string value(base::Trim(field.substr(colon + 1)));
    std::string* slot = key == "mfg" || key == "manufacturer"  ? &id.Manufacturer
                        : key == "mdl" || key == "model"       ? &id.Model
                        : key == "cls" || key == "class"       ? &id.Class
                        : key == "des" || key == "description" ? &id.Description
                        : key == "cmd" || key == "command set" ? &id.CommandSet
                                                               : nullptr;
    if (slot && slot->empty()) *slot = value;
  }
  return id;
}

TParallelPort DecodeParallelPort(const platform::ParallelPortRecord& record) {
  TParallelPort p;
  p.Name = record.name;
  p.Source = record.source;
  // "888\t1912": the base and the ECP base, in decimal; 0 stands for "none".
  const std::string bases = TextOf(record, "base-addr");
  for (const auto& part : base::SplitNonEmpty(bases, '\t'))
    if (auto v = Number(part); v && *v > 0 && *v <= 0xFFFFFFFFLL)
      p.BaseAddresses.push_back(static_cast<uint32_t>(*v));
  p.Irq = Channel(TextOf(record, "irq"));
  p.Dma = Channel(TextOf(record, "dma"));
  for (const auto& mode : base::SplitNonEmpty(base::FirstLine(TextOf(record, "modes")), ','))
    if (auto m = base::Trim(mode); !m.empty()) p.Modes.emplace_back(m);
  const std::string active = base::FirstLine(TextOf(record, "active"));
  if (active != "none") p.ActiveDevice = active;
  // The probe of the port itself first, then the daisy-chain places.
  for (const char* file : {"autoprobe", "autoprobe0", "autoprobe1", "autoprobe2", "autoprobe3"})
    if (p.Attached.empty()) p.Attached = ParseParallelDeviceId(TextOf(record, file));
  return p;
}

}  // namespace tavrin::collectors
