// Netlink messages built byte by byte for the tests, as the kernel lays them out.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tavrin::testing {

class NetlinkBuilder {
 public:
  /// Starts a message of `type` whose fixed header is `header`.
  NetlinkBuilder& Message(uint16_t type, std::string header) {
    Finish();
    start_ = bytes_.size();
    bytes_.append(16, '\0');
    Put16(start_ + 4, type);
    bytes_ += header;
    open_ = true;
    return *this;
  }
  NetlinkBuilder& Attr(uint16_t type, std::string_view payload) {
    const std::size_t at = bytes_.size();
    bytes_.append(4, '\0');
    Put16(at, static_cast<uint16_t>(4 + payload.size()));
    Put16(at + 2, type);
    bytes_ += payload;
    Pad();
    return *this;
  }
  NetlinkBuilder& Text(uint16_t type, std::string_view text) {
    return Attr(type, std::string(text) + '\0');
  }
  NetlinkBuilder& U32(uint16_t type, uint32_t v) { return Attr(type, Le32(v)); }
  /// An attribute holding attributes.
  NetlinkBuilder& Nested(uint16_t type, const std::string& inner) { return Attr(type, inner); }
  std::string Bytes() {
    Finish();
    return bytes_;
  }

  /// One attribute's bytes with padding, to be nested in another.
  static std::string AttrBytes(uint16_t type, std::string_view payload) {
    std::string a = Le16(static_cast<uint16_t>(4 + payload.size())) + Le16(type);
    a += payload;
    while (a.size() % 4) a += '\0';
    return a;
  }
  static std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &v, 4);
    return s;
  }
  static std::string Le16(uint16_t v) {
    std::string s(2, '\0');
    std::memcpy(s.data(), &v, 2);
    return s;
  }
  /// struct ifinfomsg.
  static std::string LinkHeader(int32_t index, uint16_t arpType, uint32_t flags) {
    return std::string(2, '\0') + Le16(arpType) + Le32(static_cast<uint32_t>(index)) + Le32(flags) +
           Le32(0);
  }
  /// struct ifaddrmsg.
  static std::string AddrHeader(uint8_t family, uint8_t prefix, uint8_t flags, uint8_t scope,
                                int32_t index) {
    return std::string{static_cast<char>(family), static_cast<char>(prefix),
                       static_cast<char>(flags), static_cast<char>(scope)} +
           Le32(static_cast<uint32_t>(index));
  }
  /// struct inet_diag_msg: family, state, timer, retransmits, ports in network order, the two
  /// addresses in 16-byte fields, interface, cookie, expiry, queues, uid and inode.
  static std::string DiagMessage(uint8_t family, uint8_t state, uint16_t sport, uint16_t dport,
                                 const std::string& src, const std::string& dst, uint32_t uid,
                                 uint32_t inode) {
    auto field = [](const std::string& a) { return a + std::string(16 - a.size(), '\0'); };
    auto be16 = [](uint16_t v) {
      return std::string{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
    };
    std::string m{static_cast<char>(family), static_cast<char>(state), 0, 0};
    m += be16(sport) + be16(dport) + field(src) + field(dst) + std::string(24, '\0');
    return m + Le32(uid) + Le32(inode);
  }
  /// struct rtmsg.
  static std::string RouteHeader(uint8_t family, uint8_t dstLen, uint8_t table, uint8_t type) {
    return std::string{static_cast<char>(family),
                       static_cast<char>(dstLen),
                       0,
                       0,
                       static_cast<char>(table),
                       3,
                       0,
                       static_cast<char>(type)} +
           Le32(0);
  }

 private:
  void Put16(std::size_t at, uint16_t v) { std::memcpy(bytes_.data() + at, &v, 2); }
  void Pad() {
    while (bytes_.size() % 4) bytes_ += '\0';
  }
  void Finish() {
    if (!open_) return;
    Pad();
    const uint32_t length = static_cast<uint32_t>(bytes_.size() - start_);
    std::memcpy(bytes_.data() + start_, &length, 4);
    open_ = false;
  }
  std::string bytes_;
  std::size_t start_ = 0;
  bool open_ = false;
};

}  // namespace tavrin::testing
