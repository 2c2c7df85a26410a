#include "collectors/network/share_parse.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

template <class F>
void ForEachLine(std::string_view text, F&& on) {
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    on(text.substr(at, end - at));
    at = end + 1;
  }
}

std::string Unescaped(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                    [](char c) { return c >= '0' && c <= '7'; })) {
      out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// File systems whose data lives on another machine.
constexpr std::array<std::string_view, 14> kNetworkFileSystems = {
    "nfs",  "nfs4",      "cifs",   "smb3",           "smbfs",      "ncpfs",       "afs",
    "ceph", "glusterfs", "lustre", "fuse.glusterfs", "fuse.sshfs", "fuse.rclone", "davfs"};

}  // namespace

std::vector<NetShareRecord> ParseNfsExports(std::string_view text) {
  std::vector<NetShareRecord> out;
  std::string logical;
  auto finish = [&](std::string line) {
    line = std::string(base::Trim(line.substr(0, line.find('#'))));
    if (line.empty()) return;
    NetShareRecord share;
    share.service = "nfs";
    std::size_t end;
    if (line[0] == '"') {
      end = line.find('"', 1);
      share.path = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
      end = end == std::string::npos ? line.size() : end + 1;
    } else {
      end = line.find_first_of(" \t");
      if (end == std::string::npos) end = line.size();
      share.path = line.substr(0, end);
    }
    share.name = share.path;
    // Continuation lines leave runs of blanks between the clients: one is enough.
    for (char c : base::Trim(std::string_view(line).substr(end))) {
      const bool blank = c == ' ' || c == '\t';
      if (blank && (share.clients.empty() || share.clients.back() == ' ')) continue;
      share.clients += blank ? ' ' : c;
    }
    out.push_back(std::move(share));
  };
  ForEachLine(text, [&](std::string_view line) {
    const std::string_view trimmed = base::TrimEnd(line);
    if (!trimmed.empty() && trimmed.back() == '\\') {
      logical += std::string(trimmed.substr(0, trimmed.size() - 1)) + " ";
      return;
    }
    logical += std::string(line);
    finish(std::move(logical));
    logical.clear();
  });
  if (!logical.empty()) finish(std::move(logical));
  return out;
}

std::vector<NetShareRecord> ParseSambaShares(std::string_view text) {
  std::vector<NetShareRecord> out;
  bool inShare = false;
  ForEachLine(text, [&](std::string_view line) {
    line = base::Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') return;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name(base::Trim(line.substr(1, line.size() - 2)));
      inShare = base::Lower(name) != "global";
      if (inShare) out.push_back({name, "", "", "smb", ""});
      return;
    }
    if (!inShare) return;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string key = base::Lower(base::Trim(line.substr(0, eq)));
    const std::string value(base::Trim(line.substr(eq + 1)));
    if (key == "path" || key == "directory")
      out.back().path = value;
    else if (key == "comment")
      out.back().comment = value;
  });
  return out;
}

SambaNameService ParseSambaNameService(std::string_view text) {
  SambaNameService out;
  bool global = true;  // settings before the first section are global ones
  bool orderSet = false;
  auto yes = [](const std::string& v) { return v == "yes" || v == "true" || v == "1"; };
  ForEachLine(text, [&](std::string_view line) {
    line = base::Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') return;
    if (line.front() == '[' && line.back() == ']') {
      global = base::Lower(base::Trim(line.substr(1, line.size() - 2))) == "global";
      return;
    }
    const auto eq = line.find('=');
    if (!global || eq == std::string_view::npos) return;
    // Samba ignores case and blanks in setting names ("WINS Server", "winsserver").
    std::string key;
    for (char c : base::Lower(line.substr(0, eq)))
      if (c != ' ' && c != '\t') key += c;
    const std::string value = base::Lower(base::Trim(line.substr(eq + 1)));
    if (key == "disablenetbios") {
      out.netbiosDisabled = yes(value);
    } else if (key == "winsserver") {
      out.winsServer = out.winsServer || !value.empty();
    } else if (key == "winssupport") {
      out.winsServer = out.winsServer || yes(value);
    } else if (key == "nameresolveorder") {
      orderSet = true;
      out.resolveOrder.clear();
      std::size_t at = 0;
      while (at < value.size()) {
        const auto end = value.find_first_of(" \t,", at);
        const auto item = value.substr(at, end == std::string::npos ? end : end - at);
        if (!item.empty()) out.resolveOrder.push_back(item);
        if (end == std::string::npos) break;
        at = end + 1;
      }
    }
  });
  if (!orderSet) out.resolveOrder = {"lmhosts", "wins", "host", "bcast"};
  return out;
}

uint32_t NetBiosNodeCode(const SambaNameService& service) {
  if (service.netbiosDisabled) return 0;
  const auto& order = service.resolveOrder;
  const auto wins =
      service.winsServer ? std::find(order.begin(), order.end(), "wins") : order.end();
  const auto bcast = std::find(order.begin(), order.end(), "bcast");
  if (wins != order.end()) return bcast == order.end() ? 2 : wins < bcast ? 8 : 4;
  return bcast != order.end() ? 1 : 0;
}

std::vector<NetMountRecord> ParseNetworkMounts(std::string_view text) {
  std::vector<NetMountRecord> out;
  ForEachLine(text, [&](std::string_view line) {
    std::vector<std::string_view> f;
    std::size_t at = 0;
    while (at < line.size() && f.size() < 3) {
      while (at < line.size() && line[at] == ' ') ++at;
      auto end = line.find(' ', at);
      if (end == std::string_view::npos) end = line.size();
      if (end > at) f.push_back(line.substr(at, end - at));
      at = end;
    }
    if (f.size() < 3) return;
    if (std::find(kNetworkFileSystems.begin(), kNetworkFileSystems.end(), f[2]) ==
        kNetworkFileSystems.end())
      return;
    out.push_back({Unescaped(f[0]), Unescaped(f[1]), std::string(f[2])});
  });
  return out;
}

}  // namespace tavrin::collectors
