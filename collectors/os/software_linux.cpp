// Installed packages and desktop applications of a Linux system, decoded from the software
// service's raw answers.
#include <algorithm>
#include <set>
#include <utility>

#include "base/strings.h"
#include "collectors/os/desktop_entry.h"
#include "collectors/os/dpkg_status.h"
#include "collectors/os/software_sources.h"
#include "platform/os_environment.h"

namespace tavrin::collectors {
namespace {

std::string Cut(std::string_view text) {
  return std::string(text.substr(0, 255));
}

// The value of "key: value" in a YAML-like "key: value" line list (snap.yaml's top level).
std::string TopLevelValue(std::string_view text, std::string_view key) {
  while (!text.empty()) {
    const auto eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ':') continue;
    std::string_view value = base::Trim(line.substr(key.size() + 1));
    if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value);
  }
  return {};
}

// The text of the first element `tag` in an XML text, without markup inside it.
std::string XmlElementText(std::string_view xml, std::string_view tag) {
  const std::string open = "<" + std::string(tag);
  std::size_t at = 0;
  while ((at = xml.find(open, at)) != std::string_view::npos) {
    const std::size_t after = at + open.size();
    if (after < xml.size() && (xml[after] == '>' || xml[after] == ' ')) break;
    at = after;
  }
  if (at == std::string_view::npos) return {};
  const auto start = xml.find('>', at);
  const auto end = xml.find('<', start == std::string_view::npos ? at : start);
  if (start == std::string_view::npos || end == std::string_view::npos) return {};
  return std::string(base::Trim(xml.substr(start + 1, end - start - 1)));
}

// The element `tag` ("<developer id=...>...</developer>") of an XML text, with its markup, and
// the text without it. Newer metainfo files name the developer in such an element, whose inner
// <name> would otherwise be taken for the application's.
std::pair<std::string_view, std::string> SplitElement(std::string_view xml, std::string_view tag) {
  const std::string open = "<" + std::string(tag);
  const std::string close = "</" + std::string(tag) + ">";
  std::size_t at = 0;
  while ((at = xml.find(open, at)) != std::string_view::npos) {
    const std::size_t after = at + open.size();
    if (after < xml.size() && (xml[after] == '>' || xml[after] == ' ')) break;
    at = after;
  }
  if (at == std::string_view::npos) return {{}, std::string(xml)};
  const auto end = xml.find(close, at);
  if (end == std::string_view::npos) return {{}, std::string(xml)};
  const std::size_t stop = end + close.size();
  std::string rest(xml.substr(0, at));
  rest.append(xml.substr(stop));
  return {xml.substr(at, stop - at), std::move(rest)};
}

// The version of the newest release a metainfo file lists (releases are listed newest first).
std::string MetainfoVersion(std::string_view xml) {
  const auto release = xml.find("<release ");
  if (release == std::string_view::npos) return {};
  const auto end = xml.find('>', release);
  const std::string_view tag = xml.substr(release, end - release);
  const auto attr = tag.find("version=");
  if (attr == std::string_view::npos || attr + 9 >= tag.size()) return {};
  const char quote = tag[attr + 8];
  const auto close = tag.find(quote, attr + 9);
  if (close == std::string_view::npos) return {};
  return std::string(tag.substr(attr + 9, close - attr - 9));
}

}  // namespace

std::string WithoutMailAddress(std::string_view person) {
  const auto lt = person.find('<');
  return std::string(base::Trim(person.substr(0, lt)));
}

std::vector<TSoftwareRecord> DpkgRecords(const platform::DpkgDatabase& db) {
  std::vector<DpkgPackage> packages = ParseDpkgStatus(db.status);
  std::vector<std::vector<DpkgPackage>> updates;
  for (const std::string& entry : db.updates) updates.push_back(ParseDpkgStatus(entry));
  ApplyDpkgUpdates(packages, updates);

  std::vector<TSoftwareRecord> records;
  records.reserve(packages.size());
  for (const DpkgPackage& p : packages) {
    if (!DpkgKnowsPackage(p)) continue;
    TSoftwareRecord r;
    r.Name = Cut(p.name);
    r.Id = std::string(p.name);
    r.Version = Cut(p.version);
    r.Company = Cut(WithoutMailAddress(p.maintainer));
    r.Origin = "dpkg";
    r.InstallSource = r.Origin;
    r.Summary = Cut(p.summary);
    if (p.installedSizeKiB) r.SizeBytes = *p.installedSizeKiB * 1024;
    r.ConfigOnly = !DpkgFilesPresent(p);
    for (bool arch : {false, true}) {
      auto it = db.listTimes.find(DpkgListName(p, arch));
      if (it != db.listTimes.end()) {
        r.InstallTime = it->second;
        break;
      }
    }
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<TSoftwareRecord> RpmRecords(const std::vector<platform::RpmPackage>& packages) {
  std::vector<TSoftwareRecord> records;
  for (const platform::RpmPackage& p : packages) {
    TSoftwareRecord r;
    r.Name = Cut(p.name);
    r.Id = p.name;
    r.Version = Cut(p.release.empty() ? p.version : p.version + "-" + p.release);
    r.Company = Cut(p.vendor.empty() ? WithoutMailAddress(p.packager) : p.vendor);
    r.Origin = "rpm";
    r.InstallSource = r.Origin;
    r.SizeBytes = p.sizeBytes;
    r.InstallTime = p.installTime;
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<TSoftwareRecord> BundleRecords(const std::vector<platform::BundledApp>& apps) {
  std::vector<TSoftwareRecord> records;
  for (const platform::BundledApp& app : apps) {
    TSoftwareRecord r;
    r.Id = app.id;
    if (app.kind == platform::BundledApp::Kind::Snap) {
      r.Name = Cut(app.id);
      r.Version = Cut(TopLevelValue(app.metadata, "version"));
      r.Summary = Cut(TopLevelValue(app.metadata, "summary"));
      // snap.yaml names no publisher as the store delivers it; some hand-built snaps carry one.
      r.Company = Cut(TopLevelValue(app.metadata, "publisher"));
      r.Origin = "snap";
    } else {
      const auto [developerElement, rest] = SplitElement(app.releaseInfo, "developer");
      const std::string name = XmlElementText(rest, "name");
      r.Name = Cut(name.empty() ? app.id : name);
      r.Version = Cut(MetainfoVersion(app.releaseInfo));
      std::string developer = XmlElementText(rest, "developer_name");
      if (developer.empty()) developer = XmlElementText(developerElement, "name");
      r.Company = Cut(developer);
      r.Summary = Cut(XmlElementText(rest, "summary"));
      r.Origin = "flatpak";
    }
    r.InstallSource = r.Origin;
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<TSoftwareRecord> LinuxPackages(const platform::SoftwareService& software,
                                           std::vector<platform::Provenance>& sources) {
  std::vector<TSoftwareRecord> records;
  auto append = [&](std::vector<TSoftwareRecord> more) {
    records.insert(records.end(), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()));
  };
  auto dpkg = software.Dpkg();
  sources.push_back(dpkg.source);
  if (dpkg) append(DpkgRecords(*dpkg));
  auto rpm = software.RpmPackages();
  sources.push_back(rpm.source);
  if (rpm) append(RpmRecords(*rpm));
  auto bundles = software.BundledApps();
  sources.push_back(bundles.source);
  if (bundles) append(BundleRecords(*bundles));
  return records;
}

std::vector<TApplicationPath> DesktopApplications(const std::vector<platform::SoftwareFile>& files,
                                                  const std::string& locale) {
  std::vector<TApplicationPath> apps;
  std::set<std::string> seen;  // desktop file ids: the first folder's file hides the others
  for (const platform::SoftwareFile& file : files) {
    const std::string id = file.path.substr(file.path.rfind('/') + 1);
    if (!seen.insert(id).second) continue;
    const DesktopFileEntry entry = ParseDesktopEntry(file.text, locale);
    if (!entry.valid || entry.hidden || entry.type != "Application") continue;
    std::string command = CommandWithoutFieldCodes(entry.exec);
    if (command.empty()) command = entry.tryExec;
    apps.push_back({entry.name, command});
  }
  return apps;
}

std::string EnvironmentValue(const std::vector<std::string>& variables, std::string_view name) {
  for (const std::string& line : variables)
    if (line.size() > name.size() && line.starts_with(name) && line[name.size()] == '=')
      return line.substr(name.size() + 1);
  return {};
}

std::string MessagesLocale(const platform::Services& services) {
  if (!services.environment) return {};
  auto vars = services.environment->Variables();
  if (!vars) return {};
  for (std::string_view name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = EnvironmentValue(*vars, name);
    if (!value.empty()) return value;
  }
  return {};
}

}  // namespace tavrin::collectors
