// Numbers of the Linux routing-socket (rtnetlink) and socket-diagnostics wire formats: message
// headers, message types and attribute types, as the kernel's user-space API headers define
// them (include/uapi/linux/netlink.h, rtnetlink.h, if_link.h, if_addr.h, if_arp.h,
// sock_diag.h, inet_diag.h). Kept as our own
// constants so the decoders build and run anywhere a recorded answer is replayed.
#pragma once

#include <cstdint>

namespace tavrin::collectors::netlink {

inline constexpr uint32_t kAlign = 4;
inline constexpr uint32_t kHeaderSize = 16;       // length, type, flags, sequence, port id
inline constexpr uint32_t kLinkHeaderSize = 16;   // struct ifinfomsg
inline constexpr uint32_t kAddrHeaderSize = 8;    // struct ifaddrmsg
inline constexpr uint32_t kRouteHeaderSize = 12;  // struct rtmsg
inline constexpr uint32_t kAttrHeaderSize = 4;    // struct rtattr

// Message types.
inline constexpr uint16_t kNoop = 1, kError = 2, kDone = 3;
inline constexpr uint16_t kNewLink = 16, kGetLink = 18;
inline constexpr uint16_t kNewAddr = 20, kGetAddr = 22;
inline constexpr uint16_t kNewRoute = 24, kGetRoute = 26;
// Header flags of a dump request.
inline constexpr uint16_t kRequest = 0x1, kDump = 0x300;

// Socket diagnostics: the answer type, and the fixed part of one socket's message
// (struct inet_diag_msg): family, state, timer, retransmits; ports, source and destination
// address (16 bytes each), interface and cookie; expiry, queues, uid and inode.
inline constexpr uint16_t kSockDiagByFamily = 20;
inline constexpr uint32_t kInetDiagMsgSize = 72;
inline constexpr uint32_t kDiagSourcePort = 4, kDiagDestPort = 6, kDiagSourceAddr = 8,
                          kDiagDestAddr = 24, kDiagUid = 64, kDiagInode = 68;

// Link attributes.
inline constexpr uint16_t kIflaAddress = 1, kIflaIfname = 3, kIflaMtu = 4, kIflaMaster = 10,
                          kIflaOperstate = 16, kIflaLinkinfo = 18, kIflaIfalias = 20;
inline constexpr uint16_t kIflaInfoKind = 1;  // nested in kIflaLinkinfo
// Address attributes.
inline constexpr uint16_t kIfaAddress = 1, kIfaLocal = 2, kIfaLabel = 3, kIfaFlags = 8;
// Route attributes.
inline constexpr uint16_t kRtaDst = 1, kRtaOif = 4, kRtaGateway = 5, kRtaPriority = 6,
                          kRtaPrefsrc = 7, kRtaTable = 15;
// Attribute type bits that are not part of the number.
inline constexpr uint16_t kAttrTypeMask = 0x3FFF;

inline constexpr uint8_t kFamilyInet = 2, kFamilyInet6 = 10;
inline constexpr uint8_t kRouteTableMain = 254;
inline constexpr uint8_t kRouteUnicast = 1;

// Interface flags.
inline constexpr uint32_t kIffUp = 0x1, kIffLoopback = 0x8, kIffPointToPoint = 0x10,
                          kIffRunning = 0x40, kIffLowerUp = 0x10000;
// Address flags.
inline constexpr uint32_t kIfaFSecondary = 0x01, kIfaFDeprecated = 0x20, kIfaFTentative = 0x40;

// Address scopes.
inline constexpr uint8_t kScopeUniverse = 0, kScopeLink = 253, kScopeHost = 254;

// ARP hardware types (if_arp.h).
inline constexpr uint16_t kArpEther = 1, kArpIeee802 = 6, kArpSlip = 256, kArpPpp = 512,
                          kArpLoopback = 772, kArpFddi = 774, kArpIeee80211 = 801,
                          kArpNone = 0xFFFE;

}  // namespace tavrin::collectors::netlink
