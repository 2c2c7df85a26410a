#include "collectors/os/dpkg_status.h"

#include <charconv>
#include <cstring>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

enum class Field {
  kOther,
  kPackage,
  kArchitecture,
  kVersion,
  kMaintainer,
  kSource,
  kHomepage,
  kDescription,
  kStatus,
  kInstalledSize
};

// Field names compare without case (the control-file syntax says so); dpkg itself writes them
// capitalized, so the exact spelling is tried first.
Field FieldOf(std::string_view name) {
  struct Known {
    std::string_view name;
    Field field;
  };
  static constexpr Known kKnown[] = {
      {"Package", Field::kPackage},
      {"Architecture", Field::kArchitecture},
      {"Version", Field::kVersion},
      {"Maintainer", Field::kMaintainer},
      {"Source", Field::kSource},
      {"Homepage", Field::kHomepage},
      {"Description", Field::kDescription},
      {"Status", Field::kStatus},
      {"Installed-Size", Field::kInstalledSize},
  };
  for (const Known& k : kKnown)
    if (k.name.size() == name.size() && (k.name == name || base::EqualsNoCase(k.name, name)))
      return k.field;
  return Field::kOther;
}

std::optional<uint64_t> Number(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

void SetStatus(DpkgPackage& p, std::string_view value) {
  // "want flag state": three words separated by blanks.
  const auto first = value.find(' ');
  p.want = value.substr(0, first);
  const auto last = value.rfind(' ');
  p.state = last == std::string_view::npos ? std::string_view{} : value.substr(last + 1);
}

}  // namespace

std::vector<DpkgPackage> ParseDpkgStatus(std::string_view text) {
  std::vector<DpkgPackage> packages;
  DpkgPackage current;
  bool any = false;
  auto finish = [&] {
    if (any && !current.name.empty()) packages.push_back(current);
    current = DpkgPackage{};
    any = false;
  };

  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (!eol) eol = end;
    std::string_view line(p, eol - p);
    p = eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) {
      finish();
      continue;
    }
    if (line.front() == ' ' || line.front() == '\t') {
      // A continuation line; a line of blanks alone does not end a paragraph in a hand-edited
      // file dpkg would accept either, so it is simply skipped.
      continue;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const Field field = FieldOf(line.substr(0, colon));
    if (field == Field::kOther) {
      any = true;
      continue;
    }
    const std::string_view value = base::Trim(line.substr(colon + 1));
    any = true;
    switch (field) {
      case Field::kPackage:
        current.name = value;
        break;
      case Field::kArchitecture:
        current.architecture = value;
        break;
      case Field::kVersion:
        current.version = value;
        break;
      case Field::kMaintainer:
        current.maintainer = value;
        break;
      case Field::kSource:
        current.source = value;
        break;
      case Field::kHomepage:
        current.homepage = value;
        break;
      case Field::kDescription:
        current.summary = value;
        break;
      case Field::kStatus:
        SetStatus(current, value);
        break;
      case Field::kInstalledSize:
        current.installedSizeKiB = Number(value);
        break;
      case Field::kOther:
        break;
    }
  }
  finish();
  return packages;
}

void ApplyDpkgUpdates(std::vector<DpkgPackage>& packages,
                      const std::vector<std::vector<DpkgPackage>>& updates) {
  for (const auto& entry : updates)
    for (const DpkgPackage& update : entry) {
      bool replaced = false;
      for (DpkgPackage& p : packages)
        if (p.name == update.name && p.architecture == update.architecture) {
          p = update;
          replaced = true;
          break;
        }
      if (!replaced) packages.push_back(update);
    }
}

bool DpkgKnowsPackage(const DpkgPackage& p) {
  return !p.state.empty() && p.state != "not-installed";
}

bool DpkgFilesPresent(const DpkgPackage& p) {
  return p.state == "installed" || p.state == "half-configured" || p.state == "unpacked" ||
         p.state == "triggers-awaited" || p.state == "triggers-pending" ||
         p.state == "half-installed";
}

std::string DpkgListName(const DpkgPackage& p, bool withArchitecture) {
  std::string name(p.name);
  if (withArchitecture && !p.architecture.empty()) {
    name += ':';
    name += p.architecture;
  }
  name += ".list";
  return name;
}

}  // namespace tavrin::collectors
