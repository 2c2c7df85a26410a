#include "app/startup/activation.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/startup/session_locks.h"

namespace tavrin::startup {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

/// Waits for `events` on `fd` until the deadline; false on time-out or error.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int rc = poll(&p, 1, RemainingMs(deadline));
    if (rc > 0) return (p.revents & events) != 0;
    if (rc == 0) return false;
    if (errno != EINTR) return false;
  }
}

class Socket {
 public:
  Socket() : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::filesystem::path ActivationSocketPath(std::string_view instanceName) {
  return RuntimeFolder() / (std::string(instanceName) + ".sock");
}

ActivationResult SendActivation(const std::filesystem::path& path,
                                std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  Socket s;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = path.string();
  if (s.fd() < 0 || text.size() >= sizeof(address.sun_path)) return ActivationResult::NoListener;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);

  if (connect(s.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    // A full backlog means the instance stopped accepting: that is a hang, wait it out.
    if (errno != EAGAIN && errno != EINPROGRESS) return ActivationResult::NoListener;
    if (!WaitFor(s.fd(), POLLOUT, deadline)) return ActivationResult::TimedOut;
  }

  std::string_view request = kActivationRequest;
  while (!request.empty()) {
    const ssize_t sent = send(s.fd(), request.data(), request.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      request.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
      if (!WaitFor(s.fd(), POLLOUT, deadline)) return ActivationResult::TimedOut;
    } else {
      return ActivationResult::NoListener;
    }
  }

  std::string reply;
  while (reply.find('\n') == std::string::npos) {
    if (!WaitFor(s.fd(), POLLIN, deadline)) return ActivationResult::TimedOut;
    char buffer[16];
    const ssize_t got = recv(s.fd(), buffer, sizeof(buffer), 0);
    if (got > 0) {
      reply.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      // The instance closed without answering (it is shutting down).
      return ActivationResult::NoListener;
    } else if (errno != EAGAIN && errno != EINTR) {
      return ActivationResult::NoListener;
    }
  }
  return ActivationResult::Acknowledged;
}

}  // namespace tavrin::startup
