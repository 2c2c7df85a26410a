#include "collectors/network/lease_parse.h"

#include <string>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

std::vector<std::string> SplitAny(std::string_view text, std::string_view separators) {
  std::vector<std::string> out;
  std::string item;
  for (char c : text) {
    if (separators.find(c) != std::string_view::npos) {
      if (!item.empty()) out.push_back(std::move(item));
      item.clear();
    } else {
      item += c;
    }
  }
  if (!item.empty()) out.push_back(std::move(item));
  return out;
}

std::string Unquoted(std::string_view s) {
  s = base::Trim(s);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return std::string(s);
}

// One "key words...;" statement inside a lease block.
void ApplyStatement(std::string_view statement, DhcpLease& lease) {
  statement = base::Trim(statement);
  auto words = SplitAny(statement, " \t\r\n");
  if (words.size() < 2) return;
  auto rest = [&](std::size_t from) {
    std::string joined;
    for (std::size_t i = from; i < words.size(); ++i)
      joined += (joined.empty() ? "" : " ") + words[i];
    return joined;
  };
  if (words[0] == "interface") {
    lease.interfaceName = Unquoted(words[1]);
  } else if (words[0] == "fixed-address") {
    lease.address = words[1];
  } else if (words[0] == "expire") {
    lease.expires = rest(1);
  } else if (words[0] == "option" && words.size() >= 3) {
    const std::string values = rest(2);
    if (words[1] == "subnet-mask")
      lease.subnetMask = values;
    else if (words[1] == "dhcp-server-identifier")
      lease.server = values;
    else if (words[1] == "routers")
      lease.routers = SplitAny(values, ", ");
    else if (words[1] == "domain-name-servers")
      lease.dnsServers = SplitAny(values, ", ");
  }
}

}  // namespace

std::vector<DhcpLease> ParseDhclientLeases(std::string_view text) {
  std::vector<DhcpLease> out;
  std::size_t at = 0;
  while (true) {
    const auto open = text.find("lease", at);
    if (open == std::string_view::npos) break;
    const auto brace = text.find('{', open);
    // "lease6" blocks and words such as "lease-time" are not IPv4 lease blocks.
    if (brace == std::string_view::npos ||
        !base::Trim(text.substr(open + 5, brace - open - 5)).empty()) {
      at = open + 5;
      continue;
    }
    const auto close = text.find('}', brace);
    const std::string_view body =
        text.substr(brace + 1, (close == std::string_view::npos ? text.size() : close) - brace - 1);
    DhcpLease lease;
    lease.client = "dhclient";
    std::size_t s = 0;
    while (s < body.size()) {
      auto semi = body.find(';', s);
      if (semi == std::string_view::npos) semi = body.size();
      ApplyStatement(body.substr(s, semi - s), lease);
      s = semi + 1;
    }
    if (!lease.address.empty()) out.push_back(std::move(lease));
    if (close == std::string_view::npos) break;
    at = close + 1;
  }
  return out;
}

std::optional<DhcpLease> ParseNetworkdLease(std::string_view text) {
  DhcpLease lease;
  lease.client = "systemd-networkd";
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = base::Trim(text.substr(at, end - at));
    at = end + 1;
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq);
    const std::string value = Unquoted(line.substr(eq + 1));
    if (key == "ADDRESS")
      lease.address = value;
    else if (key == "NETMASK")
      lease.subnetMask = value;
    else if (key == "SERVER_ADDRESS")
      lease.server = value;
    else if (key == "ROUTER")
      lease.routers = SplitAny(value, " ");
    else if (key == "DNS")
      lease.dnsServers = SplitAny(value, " ");
    else if (key == "LIFETIME")
      lease.expires = value + " s";
  }
  if (lease.address.empty()) return std::nullopt;
  return lease;
}

}  // namespace tavrin::collectors
