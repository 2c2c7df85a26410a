#include "collectors/network/netlink_parse.h"

#include <cstring>

#include "collectors/network/netlink_wire.h"

namespace tavrin::collectors {
namespace {

using namespace netlink;

constexpr uint32_t Aligned(uint32_t n) {
  return (n + kAlign - 1) & ~(kAlign - 1);
}

template <class T>
T Load(std::string_view bytes, std::size_t at) {
  T v{};
  if (at + sizeof(T) <= bytes.size()) std::memcpy(&v, bytes.data() + at, sizeof(T));
  return v;
}

// Strings in attributes end with a zero byte the kernel counts in the length.
std::string AttrText(std::string_view payload) {
  const auto end = payload.find('\0');
  return std::string(payload.substr(0, end));
}

// Calls `on(type, payload)` for each attribute of `area`; stops at a malformed length.
template <class F>
void ForEachAttr(std::string_view area, F&& on) {
  std::size_t at = 0;
  while (at + kAttrHeaderSize <= area.size()) {
    const auto length = Load<uint16_t>(area, at);
    const auto type = static_cast<uint16_t>(Load<uint16_t>(area, at + 2) & kAttrTypeMask);
    if (length < kAttrHeaderSize || at + length > area.size()) return;
    on(type, area.substr(at + kAttrHeaderSize, length - kAttrHeaderSize));
    at += Aligned(length);
  }
}

std::optional<uint32_t> AttrU32(std::string_view payload) {
  if (payload.size() < 4) return std::nullopt;
  return Load<uint32_t>(payload, 0);
}

void ParseLink(std::string_view body, NetlinkTables& out) {
  if (body.size() < kLinkHeaderSize) return;
  NetLinkRecord link;
  link.hardwareType = Load<uint16_t>(body, 2);
  link.index = Load<int32_t>(body, 4);
  link.flags = Load<uint32_t>(body, 8);
  ForEachAttr(body.substr(kLinkHeaderSize), [&](uint16_t type, std::string_view p) {
    switch (type) {
      case kIflaIfname:
        link.name = AttrText(p);
        break;
      case kIflaAddress:
        link.hardwareAddress = std::string(p);
        break;
      case kIflaMtu:
        link.mtu = AttrU32(p);
        break;
      case kIflaMaster:
        link.master = static_cast<int32_t>(AttrU32(p).value_or(0));
        break;
      case kIflaOperstate:
        if (!p.empty()) link.operState = static_cast<uint8_t>(p[0]);
        break;
      case kIflaIfalias:
        link.alias = AttrText(p);
        break;
      case kIflaLinkinfo:
        ForEachAttr(p, [&](uint16_t inner, std::string_view q) {
          if (inner == kIflaInfoKind) link.kind = AttrText(q);
        });
        break;
      default:
        break;
    }
  });
  out.links.push_back(std::move(link));
}

void ParseAddress(std::string_view body, NetlinkTables& out) {
  if (body.size() < kAddrHeaderSize) return;
  NetAddressRecord addr;
  addr.family = static_cast<uint8_t>(body[0]);
  addr.prefixLength = static_cast<uint8_t>(body[1]);
  addr.flags = static_cast<uint8_t>(body[2]);
  addr.scope = static_cast<uint8_t>(body[3]);
  addr.index = Load<int32_t>(body, 4);
  std::string address, local;
  ForEachAttr(body.substr(kAddrHeaderSize), [&](uint16_t type, std::string_view p) {
    switch (type) {
      case kIfaAddress:
        address = std::string(p);
        break;
      case kIfaLocal:
        local = std::string(p);
        break;
      case kIfaLabel:
        addr.label = AttrText(p);
        break;
      case kIfaFlags:  // the 32-bit flags replace the 8 bits of the header
        if (auto f = AttrU32(p)) addr.flags = *f;
        break;
      default:
        break;
    }
  });
  // On a point-to-point link IFA_ADDRESS is the peer and IFA_LOCAL our own; elsewhere they
  // are equal, and IPv6 sends only IFA_ADDRESS.
  addr.address = local.empty() ? address : local;
  if (!local.empty() && address != local) addr.peer = address;
  out.addresses.push_back(std::move(addr));
}

void ParseRoute(std::string_view body, NetlinkTables& out) {
  if (body.size() < kRouteHeaderSize) return;
  NetRouteRecord route;
  route.family = static_cast<uint8_t>(body[0]);
  route.destinationLength = static_cast<uint8_t>(body[1]);
  route.table = static_cast<uint8_t>(body[4]);
  route.protocol = static_cast<uint8_t>(body[5]);
  route.scope = static_cast<uint8_t>(body[6]);
  route.type = static_cast<uint8_t>(body[7]);
  ForEachAttr(body.substr(kRouteHeaderSize), [&](uint16_t type, std::string_view p) {
    switch (type) {
      case kRtaDst:
        route.destination = std::string(p);
        break;
      case kRtaGateway:
        route.gateway = std::string(p);
        break;
      case kRtaPrefsrc:
        route.preferredSource = std::string(p);
        break;
      case kRtaOif:
        route.outputIndex = static_cast<int32_t>(AttrU32(p).value_or(0));
        break;
      case kRtaPriority:
        route.priority = AttrU32(p);
        break;
      case kRtaTable:  // tables above 255 only have their number here
        if (auto t = AttrU32(p)) route.table = *t;
        break;
      default:
        break;
    }
  });
  out.routes.push_back(std::move(route));
}

// Calls `each(type, body)` for every whole message of a dump; true when the bytes end in a
// message cut short or in bytes too few for a header.
template <class Each>
bool ForEachMessage(std::string_view bytes, Each each) {
  std::size_t at = 0;
  while (at + kHeaderSize <= bytes.size()) {
    const auto length = Load<uint32_t>(bytes, at);
    const auto type = Load<uint16_t>(bytes, at + 4);
    if (length < kHeaderSize || length > bytes.size() - at) return true;
    each(type, bytes.substr(at + kHeaderSize, length - kHeaderSize));
    at += Aligned(length);
  }
  return at < bytes.size();
}

}  // namespace

NetlinkTables ParseNetlinkMessages(std::string_view bytes) {
  NetlinkTables out;
  out.truncated = ForEachMessage(bytes, [&](uint16_t type, std::string_view body) {
    switch (type) {
      case kNewLink:
        ParseLink(body, out);
        break;
      case kNewAddr:
        ParseAddress(body, out);
        break;
      case kNewRoute:
        ParseRoute(body, out);
        break;
      case kDone:
        out.complete = true;
        break;
      case kError: {
        const int err = Load<int32_t>(body, 0);
        if (err != 0 && body.size() >= 4) out.error = -err;  // 0 is an acknowledgement
        break;
      }
      default:
        break;
    }
  });
  return out;
}

void MergeNetlinkTables(NetlinkTables& into, NetlinkTables more) {
  for (auto& l : more.links) into.links.push_back(std::move(l));
  for (auto& a : more.addresses) into.addresses.push_back(std::move(a));
  for (auto& r : more.routes) into.routes.push_back(std::move(r));
  if (more.error && !into.error) into.error = more.error;
  into.complete = into.complete && more.complete;
  into.truncated = into.truncated || more.truncated;
}

SocketDiagAnswer ParseSocketDiagMessages(std::string_view bytes, std::string_view transport) {
  SocketDiagAnswer out;
  out.truncated = ForEachMessage(bytes, [&](uint16_t type, std::string_view body) {
    if (type == kError && body.size() >= 4) {
      const int err = Load<int32_t>(body, 0);
      if (err != 0 && !out.error) out.error = -err;
    } else if (type == kSockDiagByFamily && body.size() >= kInetDiagMsgSize) {
      const auto family = static_cast<uint8_t>(body[0]);
      const std::size_t width = family == kFamilyInet6 ? 16 : family == kFamilyInet ? 4 : 0;
      if (width != 0) {
        SocketEntry s;
        s.protocol = std::string(transport) + (width == 16 ? "6" : "");
        s.state = static_cast<uint8_t>(body[1]);
        // Ports travel in network order.
        auto port = [&](std::size_t where) {
          return static_cast<uint16_t>((static_cast<uint8_t>(body[where]) << 8) |
                                       static_cast<uint8_t>(body[where + 1]));
        };
        s.localPort = port(kDiagSourcePort);
        s.remotePort = port(kDiagDestPort);
        s.localAddress = std::string(body.substr(kDiagSourceAddr, width));
        s.remoteAddress = std::string(body.substr(kDiagDestAddr, width));
        s.uid = Load<uint32_t>(body, kDiagUid);
        s.inode = Load<uint32_t>(body, kDiagInode);
        out.sockets.push_back(std::move(s));
      }
    }
  });
  return out;
}

}  // namespace tavrin::collectors
