#include "platform/live_monitor_json.h"

namespace tavrin::platform {
namespace {

using nlohmann::json;

// Reads `name` into `out` when present and of a fitting type; a snapshot from another version
// may lack fields or hold them differently, and a record keeps what it can.
template <class T>
void Get(const json& j, const char* name, T& out) {
  auto it = j.find(name);
  if (it == j.end()) return;
  try {
    out = it->get<T>();
  } catch (const json::exception&) {
  }
}

template <class T>
void Get(const json& j, const char* name, std::optional<T>& out) {
  auto it = j.find(name);
  if (it == j.end() || it->is_null()) return;
  try {
    out = it->get<T>();
  } catch (const json::exception&) {
  }
}

json MemoryToJson(const ProcessMemory& m) {
  return json::array({m.peakVirtualSize, m.virtualSize, m.pageFaultCount, m.peakWorkingSet,
                      m.workingSet, m.quotaPeakPagedPool, m.quotaPagedPool, m.quotaPeakNonPagedPool,
                      m.quotaNonPagedPool, m.pageFileUsage, m.peakPageFileUsage});
}

std::optional<ProcessMemory> MemoryFromJson(const json& j) {
  if (!j.is_array() || j.size() != 11) return std::nullopt;
  uint64_t v[11];
  for (std::size_t i = 0; i < 11; ++i) {
    if (!j[i].is_number_unsigned()) return std::nullopt;
    v[i] = j[i].get<uint64_t>();
  }
  return ProcessMemory{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]};
}

json IoToJson(const ProcessIo& io) {
  return json::array({io.readOperations, io.writeOperations, io.otherOperations, io.readBytes,
                      io.writeBytes, io.otherBytes});
}

std::optional<ProcessIo> IoFromJson(const json& j) {
  if (!j.is_array() || j.size() != 6) return std::nullopt;
  uint64_t v[6];
  for (std::size_t i = 0; i < 6; ++i) {
    if (!j[i].is_number_unsigned()) return std::nullopt;
    v[i] = j[i].get<uint64_t>();
  }
  return ProcessIo{v[0], v[1], v[2], v[3], v[4], v[5]};
}

}  // namespace

json ProcessesToJson(const std::vector<ProcessRecord>& processes) {
  json list = json::array();
  for (const auto& p : processes) {
    json modules = json::array();
    for (const auto& m : p.modules) modules.push_back({m.name, m.path, m.size, m.base});
    json threads = json::array();
    for (const auto& t : p.threads)
      threads.push_back({t.threadId, t.basePriority, t.currentPriority});
    json groups = json::array();
    for (const auto& g : p.groups) groups.push_back({g.id, g.name});
    json entry = {{"pid", p.pid},
                  {"ppid", p.parentPid},
                  {"name", p.name},
                  {"image", p.imageName},
                  {"cmdline", p.commandLine},
                  {"user", p.userName},
                  {"state", std::string(1, p.state)},
                  {"kernelThread", p.kernelThread},
                  {"priority", p.priority},
                  {"threadCount", p.threadCount},
                  {"createTime", p.createTime},
                  {"userTime", p.userTime},
                  {"kernelTime", p.kernelTime},
                  {"modules", modules},
                  {"threads", threads},
                  {"groups", groups},
                  {"unreadable", p.unreadable}};
    if (p.userId) entry["uid"] = *p.userId;
    if (p.handleCount) entry["handles"] = *p.handleCount;
    if (p.memory) entry["memory"] = MemoryToJson(*p.memory);
    if (p.io) entry["io"] = IoToJson(*p.io);
    if (p.capabilitiesPermitted) entry["capPermitted"] = *p.capabilitiesPermitted;
    if (p.capabilitiesEffective) entry["capEffective"] = *p.capabilitiesEffective;
    list.push_back(std::move(entry));
  }
  return list;
}

std::vector<ProcessRecord> ProcessesFromJson(const json& j) {
  std::vector<ProcessRecord> out;
  if (!j.is_array()) return out;
  for (const auto& e : j) {
    if (!e.is_object()) continue;
    ProcessRecord p;
    Get(e, "pid", p.pid);
    Get(e, "ppid", p.parentPid);
    Get(e, "name", p.name);
    Get(e, "image", p.imageName);
    Get(e, "cmdline", p.commandLine);
    Get(e, "user", p.userName);
    Get(e, "uid", p.userId);
    std::string state;
    Get(e, "state", state);
    if (!state.empty()) p.state = state[0];
    Get(e, "kernelThread", p.kernelThread);
    Get(e, "priority", p.priority);
    Get(e, "threadCount", p.threadCount);
    Get(e, "handles", p.handleCount);
    Get(e, "createTime", p.createTime);
    Get(e, "userTime", p.userTime);
    Get(e, "kernelTime", p.kernelTime);
    if (auto it = e.find("memory"); it != e.end()) p.memory = MemoryFromJson(*it);
    if (auto it = e.find("io"); it != e.end()) p.io = IoFromJson(*it);
    if (auto it = e.find("modules"); it != e.end() && it->is_array())
      for (const auto& m : *it)
        if (m.is_array() && m.size() == 4 && m[0].is_string() && m[1].is_string() &&
            m[2].is_number_unsigned() && m[3].is_number_unsigned())
          p.modules.push_back({m[0].get<std::string>(), m[1].get<std::string>(),
                               m[2].get<uint64_t>(), m[3].get<uint64_t>()});
    if (auto it = e.find("threads"); it != e.end() && it->is_array())
      for (const auto& t : *it)
        if (t.is_array() && t.size() == 3 && t[0].is_number_unsigned() &&
            t[1].is_number_integer() && t[2].is_number_integer())
          p.threads.push_back(
              {p.pid, t[0].get<uint32_t>(), t[1].get<int32_t>(), t[2].get<int32_t>()});
    if (auto it = e.find("groups"); it != e.end() && it->is_array())
      for (const auto& g : *it)
        if (g.is_array() && g.size() == 2 && g[0].is_string() && g[1].is_string())
          p.groups.push_back({g[0].get<std::string>(), g[1].get<std::string>()});
    Get(e, "unreadable", p.unreadable);
    Get(e, "capPermitted", p.capabilitiesPermitted);
    Get(e, "capEffective", p.capabilitiesEffective);
    out.push_back(std::move(p));
  }
  return out;
}

json DriversToJson(const std::vector<DriverRecord>& drivers) {
  json list = json::array();
  for (const auto& d : drivers)
    list.push_back({{"name", d.name},
                    {"file", d.file},
                    {"version", d.version},
                    {"state", d.state},
                    {"refcnt", d.loadCount},
                    {"size", d.size}});
  return list;
}

std::vector<DriverRecord> DriversFromJson(const json& j) {
  std::vector<DriverRecord> out;
  if (!j.is_array()) return out;
  for (const auto& e : j) {
    if (!e.is_object()) continue;
    DriverRecord d;
    Get(e, "name", d.name);
    Get(e, "file", d.file);
    Get(e, "version", d.version);
    Get(e, "state", d.state);
    Get(e, "refcnt", d.loadCount);
    Get(e, "size", d.size);
    out.push_back(std::move(d));
  }
  return out;
}

json ServicesToJson(const std::vector<ServiceRecord>& services) {
  json list = json::array();
  for (const auto& s : services)
    list.push_back({{"name", s.name},
                    {"displayName", s.displayName},
                    {"image", s.imageName},
                    {"account", s.objectName},
                    {"group", s.group},
                    {"requires", s.dependOnService},
                    {"startup", static_cast<int32_t>(s.startup)},
                    {"status", static_cast<int32_t>(s.status)},
                    {"pid", s.processId},
                    {"type", s.type}});
  return list;
}

std::vector<ServiceRecord> ServicesFromJson(const json& j) {
  std::vector<ServiceRecord> out;
  if (!j.is_array()) return out;
  for (const auto& e : j) {
    if (!e.is_object()) continue;
    ServiceRecord s;
    Get(e, "name", s.name);
    Get(e, "displayName", s.displayName);
    Get(e, "image", s.imageName);
    Get(e, "account", s.objectName);
    Get(e, "group", s.group);
    Get(e, "requires", s.dependOnService);
    int32_t startup = static_cast<int32_t>(s.startup), status = static_cast<int32_t>(s.status);
    Get(e, "startup", startup);
    Get(e, "status", status);
    if (startup >= 0 && startup <= 4) s.startup = static_cast<ServiceStart>(startup);
    if (status == -1 || (status >= 1 && status <= 7)) s.status = static_cast<ServiceState>(status);
    Get(e, "pid", s.processId);
    Get(e, "type", s.type);
    out.push_back(std::move(s));
  }
  return out;
}

json WindowsToJson(const std::vector<WindowRecord>& windows) {
  json list = json::array();
  for (const auto& w : windows) list.push_back({w.id, w.title});
  return list;
}

std::vector<WindowRecord> WindowsFromJson(const json& j) {
  std::vector<WindowRecord> out;
  if (!j.is_array()) return out;
  for (const auto& w : j)
    if (w.is_array() && w.size() == 2 && w[0].is_number_unsigned() && w[1].is_string())
      out.push_back({w[0].get<uint64_t>(), w[1].get<std::string>()});
  return out;
}

}  // namespace tavrin::platform
