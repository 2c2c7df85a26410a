#include "collectors/network/proc_net_parse.h"

#include <algorithm>
#include <bit>
#include <charconv>

#include "base/strings.h"
#include "collectors/network/netlink_wire.h"

namespace tavrin::collectors {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    std::size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > at) out.push_back(line.substr(at, end - at));
    at = end;
  }
  return out;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

template <class T>
bool Hex(std::string_view s, T& v) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

template <class T>
bool Dec(std::string_view s, T& v) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), v, 10);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Words of 8 hex digits, each a 32-bit value stored little-endian: the bytes come out in
// address order by taking each word's low byte first.
bool WordAddress(std::string_view hex, std::string& out) {
  if (hex.empty() || hex.size() % 8 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 8) {
    uint32_t word = 0;
    if (!Hex(hex.substr(i, 8), word)) return false;
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<char>((word >> (8 * b)) & 0xFF));
  }
  return true;
}

// Plain big-endian hex digits, two per byte (the IPv6 tables).
bool ByteAddress(std::string_view hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned byte = 0;
    if (!Hex(hex.substr(i, 2), byte)) return false;
    out.push_back(static_cast<char>(byte));
  }
  return true;
}

bool AddressAndPort(std::string_view field, std::string& address, uint16_t& port) {
  const auto colon = field.find(':');
  if (colon == std::string_view::npos) return false;
  return WordAddress(field.substr(0, colon), address) && Hex(field.substr(colon + 1), port);
}

std::string PrefixMask(int bits) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) {
    const int b = std::clamp(bits - 8 * i, 0, 8);
    out[i] = static_cast<char>(b == 0 ? 0 : (0xFF << (8 - b)) & 0xFF);
  }
  return out;
}

}  // namespace

std::vector<SocketEntry> ParseSocketTable(std::string_view text, std::string_view protocol) {
  std::vector<SocketEntry> out;
  for (std::string_view line : Lines(text)) {
    const auto f = Fields(line);
    // sl local remote st tx:rx tr:when retrnsmt uid timeout inode
    if (f.size() < 10 || f[0].empty() || f[0].back() != ':') continue;
    SocketEntry s;
    s.protocol = std::string(protocol);
    unsigned state = 0;
    if (!AddressAndPort(f[1], s.localAddress, s.localPort) ||
        !AddressAndPort(f[2], s.remoteAddress, s.remotePort) || !Hex(f[3], state) ||
        !Dec(f[7], s.uid) || !Dec(f[9], s.inode))
      continue;
    s.state = static_cast<uint8_t>(state);
    out.push_back(std::move(s));
  }
  return out;
}

bool IsListening(const SocketEntry& socket) {
  constexpr uint8_t kTcpListen = 10, kTcpClose = 7;
  if (socket.protocol.rfind("tcp", 0) == 0) return socket.state == kTcpListen;
  if (socket.protocol.rfind("udp", 0) == 0)
    return socket.state == kTcpClose && socket.remotePort == 0;
  return false;
}

std::vector<std::string> ParseProtocolList(std::string_view text) {
  std::vector<std::string> out;
  bool header = true;
  for (std::string_view line : Lines(text)) {
    const auto f = Fields(line);
    if (f.empty()) continue;
    if (header) {  // "protocol  size sockets ..."
      header = false;
      if (f[0] == "protocol") continue;
    }
    out.emplace_back(f[0]);
  }
  return out;
}

std::vector<NetAddressRecord> ParseInet6Addresses(std::string_view text) {
  std::vector<NetAddressRecord> out;
  for (std::string_view line : Lines(text)) {
    const auto f = Fields(line);
    if (f.size() < 6 || f[0].size() != 32) continue;
    NetAddressRecord a;
    a.family = netlink::kFamilyInet6;
    unsigned index = 0, prefix = 0, scope = 0, flags = 0;
    if (!ByteAddress(f[0], a.address) || !Hex(f[1], index) || !Hex(f[2], prefix) ||
        !Hex(f[3], scope) || !Hex(f[4], flags))
      continue;
    a.index = static_cast<int32_t>(index);
    a.prefixLength = static_cast<uint8_t>(prefix);
    // This table numbers scopes by the address's kind (0x10 host, 0x20 link), not as the
    // routing socket does.
    a.scope = scope == 0x10 ? netlink::kScopeHost : scope == 0x20 ? netlink::kScopeLink : 0;
    a.flags = flags;
    a.label = std::string(f[5]);
    out.push_back(std::move(a));
  }
  return out;
}

std::vector<NamedRoute> ParseIpv4RouteTable(std::string_view text) {
  std::vector<NamedRoute> out;
  for (std::string_view line : Lines(text)) {
    // Iface Destination Gateway Flags RefCnt Use Metric Mask MTU Window IRTT
    const auto f = Fields(line);
    if (f.size() < 8 || f[0] == "Iface") continue;
    NamedRoute r;
    r.interfaceName = std::string(f[0]);
    uint32_t metric = 0;
    std::string mask;
    if (!WordAddress(f[1], r.route.destination) || !WordAddress(f[2], r.route.gateway) ||
        !Dec(f[6], metric) || !WordAddress(f[7], mask))
      continue;
    int bits = 0;
    for (unsigned char c : mask) bits += std::popcount(c);
    if (PrefixMask(bits) != mask) continue;  // not a contiguous mask
    r.route.family = netlink::kFamilyInet;
    r.route.destinationLength = static_cast<uint8_t>(bits);
    r.route.table = netlink::kRouteTableMain;
    r.route.type = netlink::kRouteUnicast;
    r.route.priority = metric;
    if (r.route.gateway == std::string(4, '\0')) r.route.gateway.clear();
    if (bits == 0) r.route.destination.clear();
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<NamedRoute> ParseIpv6RouteTable(std::string_view text) {
  std::vector<NamedRoute> out;
  for (std::string_view line : Lines(text)) {
    // dest dest_len src src_len next_hop metric refcnt use flags name
    const auto f = Fields(line);
    if (f.size() < 10) continue;
    NamedRoute r;
    unsigned length = 0;
    uint32_t metric = 0;
    std::string source;
    if (!ByteAddress(f[0], r.route.destination) || !Hex(f[1], length) ||
        !ByteAddress(f[4], r.route.gateway) || !Hex(f[5], metric))
      continue;
    r.interfaceName = std::string(f[9]);
    r.route.family = netlink::kFamilyInet6;
    r.route.destinationLength = static_cast<uint8_t>(length);
    r.route.table = netlink::kRouteTableMain;
    r.route.type = netlink::kRouteUnicast;
    r.route.priority = metric;
    if (r.route.gateway == std::string(16, '\0')) r.route.gateway.clear();
    if (length == 0) r.route.destination.clear();
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<std::string> ParseLocalAddressesOfTrie(std::string_view text) {
  std::vector<std::string> out;
  std::string last;  // the address of the latest "|-- a.b.c.d" leaf
  for (std::string_view line : Lines(text)) {
    const auto f = Fields(line);
    if (f.size() == 2 && f[0] == "|--") {
      last = std::string(f[1]);
    } else if (f.size() >= 3 && f[0] == "/32" && f[1] == "host" && f[2] == "LOCAL" &&
               !last.empty()) {
      if (std::find(out.begin(), out.end(), last) == out.end()) out.push_back(last);
    }
  }
  return out;
}

}  // namespace tavrin::collectors
