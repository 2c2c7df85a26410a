// The kernel's routing and socket-diagnostics sockets: one dump per call, answered as the raw
// bytes of every reply message up to the end-of-dump message. A sandbox that forbids netlink
// sockets gets a failed answer, and the network collector falls back to the kernel's text
// tables.
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "platform/network.h"

namespace tavrin::platform {
namespace {

constexpr auto kDumpLimit = std::chrono::seconds(2);

class SocketHandle {
 public:
  explicit SocketHandle(int fd) : fd_(fd) {}
  ~SocketHandle() {
    if (fd_ >= 0) close(fd_);
  }
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string SourceName(NetlinkDump what) {
  return std::string("routing socket (netlink) ") + NetlinkDumpName(what) + " dump";
}

// True when `chunk` holds the message that ends our dump (done, or an error answer).
bool EndsDump(const char* chunk, std::size_t size, uint32_t seq) {
  std::size_t at = 0;
  while (at + sizeof(nlmsghdr) <= size) {
    nlmsghdr h;
    std::memcpy(&h, chunk + at, sizeof h);
    if (h.nlmsg_len < sizeof h || h.nlmsg_len > size - at) return false;
    if (h.nlmsg_seq == seq && (h.nlmsg_type == NLMSG_DONE || h.nlmsg_type == NLMSG_ERROR))
      return true;
    at += NLMSG_ALIGN(h.nlmsg_len);
  }
  return false;
}

// Sends one dump request on `sock` and appends every reply message to `answer` up to the one
// that ends the dump. Empty on success, the failure otherwise.
std::optional<Provenance> Exchange(int sock, const nlmsghdr& request, const std::string& source,
                                   std::string& answer) {
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (sendto(sock, &request, request.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
             sizeof kernel) < 0) {
    const int err = errno;
    return Provenance::Failure(StatusFromErrno(err), source, std::strerror(err));
  }
  std::string buffer(64 * 1024, '\0');
  const auto deadline = std::chrono::steady_clock::now() + kDumpLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    const ssize_t n = recv(sock, buffer.data(), buffer.size(), 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      if (err == EAGAIN || err == EWOULDBLOCK)
        return Provenance::Failure(Status::TimedOut, source, "no end of the dump");
      return Provenance::Failure(StatusFromErrno(err), source, std::strerror(err));
    }
    answer.append(buffer.data(), static_cast<std::size_t>(n));
    if (EndsDump(buffer.data(), static_cast<std::size_t>(n), request.nlmsg_seq))
      return std::nullopt;
  }
  return Provenance::Failure(Status::TimedOut, source, "no end of the dump");
}

uint32_t NewSequence() {
  return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() &
                               0x7FFFFFFF);
}

Answer<std::string> RoutingDump(NetlinkDump what, const std::string& source) {
  SocketHandle sock(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (sock.get() < 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
  }
  timeval tv{1, 0};
  setsockopt(sock.get(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);

  struct {
    nlmsghdr header;
    union {
      ifinfomsg link;
      ifaddrmsg addr;
      rtmsg route;
    } body;
  } request{};
  std::size_t bodySize = 0;
  switch (what) {
    case NetlinkDump::Links:
      request.header.nlmsg_type = RTM_GETLINK;
      bodySize = sizeof(ifinfomsg);
      break;
    case NetlinkDump::Addresses:
      request.header.nlmsg_type = RTM_GETADDR;
      bodySize = sizeof(ifaddrmsg);
      break;
    default:
      request.header.nlmsg_type = RTM_GETROUTE;
      bodySize = sizeof(rtmsg);
      break;
  }
  request.header.nlmsg_len = static_cast<uint32_t>(NLMSG_LENGTH(bodySize));
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = NewSequence();
  std::string answer;
  if (auto failed = Exchange(sock.get(), request.header, source, answer))
    return {std::nullopt, *failed};
  return Answer<std::string>::Of(std::move(answer), source);
}

// The sockets of one transport in the asked states, IPv4 then IPv6, each answer ended by its
// own end-of-dump message. Only the listening hash is walked when the states ask for listeners
// alone, which is what makes this cheap.
Answer<std::string> SocketDump(NetlinkDump what, const std::string& source) {
  SocketHandle sock(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
  if (sock.get() < 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
  }
  timeval tv{1, 0};
  setsockopt(sock.get(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);

  const bool tcp = what == NetlinkDump::TcpListeners;
  // TCP: the listen state (10); UDP: the close state (7) that a socket without a peer is in.
  const uint32_t states = tcp ? 1u << 10 : 1u << 7;
  std::string answer;
  uint32_t seq = NewSequence();
  for (const uint8_t family : {uint8_t{AF_INET}, uint8_t{AF_INET6}}) {
    struct {
      nlmsghdr header;
      inet_diag_req_v2 body;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = seq++;
    request.body.sdiag_family = family;
    request.body.sdiag_protocol = tcp ? IPPROTO_TCP : IPPROTO_UDP;
    request.body.idiag_states = states;
    if (auto failed = Exchange(sock.get(), request.header, source, answer))
      return {std::nullopt, *failed};
  }
  return Answer<std::string>::Of(std::move(answer), source);
}

class KernelNetlink : public NetlinkSource {
 public:
  Answer<std::string> Dump(NetlinkDump what) const override {
    switch (what) {
      case NetlinkDump::TcpListeners:
      case NetlinkDump::UdpSockets:
        return SocketDump(
            what, std::string("socket diagnostics (netlink) ") + NetlinkDumpName(what) + " dump");
      default:
        return RoutingDump(what, SourceName(what));
    }
  }
};

}  // namespace

std::shared_ptr<const NetlinkSource> MakeKernelNetlinkSource() {
  return std::make_shared<KernelNetlink>();
}

const char* NetlinkDumpName(NetlinkDump what) {
  switch (what) {
    case NetlinkDump::Links:
      return "links";
    case NetlinkDump::Addresses:
      return "addresses";
    case NetlinkDump::Routes:
      return "routes";
    case NetlinkDump::TcpListeners:
      return "tcp_listeners";
    case NetlinkDump::UdpSockets:
      return "udp_sockets";
  }
  return "links";
}

}  // namespace tavrin::platform
