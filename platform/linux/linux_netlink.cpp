// The kernel's routing socket: one dump request per call, answered as the raw bytes of every
// reply message up to the end-of-dump message. A sandbox that forbids netlink sockets gets a
// failed answer, and the network service falls back to the kernel's text tables.
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

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

class KernelNetlink : public NetlinkSource {
 public:
  Answer<std::string> Dump(NetlinkDump what) const override {
    const std::string source = SourceName(what);
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
    const uint32_t seq = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0x7FFFFFFF);
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
      case NetlinkDump::Routes:
        request.header.nlmsg_type = RTM_GETROUTE;
        bodySize = sizeof(rtmsg);
        break;
    }
    request.header.nlmsg_len = static_cast<uint32_t>(NLMSG_LENGTH(bodySize));
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = seq;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(sock.get(), &request, request.header.nlmsg_len, 0,
               reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0) {
      const int err = errno;
      return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
    }

    std::string answer;
    std::string buffer(64 * 1024, '\0');
    const auto deadline = std::chrono::steady_clock::now() + kDumpLimit;
    while (std::chrono::steady_clock::now() < deadline) {
      const ssize_t n = recv(sock.get(), buffer.data(), buffer.size(), 0);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        if (err == EAGAIN || err == EWOULDBLOCK)
          return Answer<std::string>::Fail(Status::TimedOut, source, "no end of the dump");
        return Answer<std::string>::Fail(StatusFromErrno(err), source, std::strerror(err));
      }
      answer.append(buffer.data(), static_cast<std::size_t>(n));
      if (EndsDump(buffer.data(), static_cast<std::size_t>(n), seq))
        return Answer<std::string>::Of(std::move(answer), source);
    }
    return Answer<std::string>::Fail(Status::TimedOut, source, "no end of the dump");
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
  }
  return "links";
}

}  // namespace tavrin::platform
