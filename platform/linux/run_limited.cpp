#include "platform/linux/run_limited.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavrin::platform {
namespace {

// Closes a descriptor with its owner.
struct Fd {
  int fd = -1;
  explicit Fd(int f = -1) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Reset(); }
  void Reset() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// Ends the child's whole process group and collects the child, on every way out.
struct Child {
  pid_t pid = -1;
  ~Child() { Kill(); }
  void Kill() {
    if (pid <= 0) return;
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
  }
};

}  // namespace

Answer<std::string> RunLimited(const std::string& program, const std::vector<std::string>& args,
                               std::chrono::milliseconds limit, std::size_t outputLimit) {
  const std::string source = "running " + program;
  if (::access(program.c_str(), X_OK) != 0)
    return Answer<std::string>::Fail(StatusFromErrno(errno), source, std::strerror(errno));

  // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
  std::vector<std::string> argStore;
  argStore.push_back(program);
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  static char kLang[] = "LC_ALL=C";
  static char kPath[] = "PATH=/usr/local/bin:/usr/bin:/bin";
  char* envp[] = {kLang, kPath, nullptr};

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0)
    return Answer<std::string>::Fail(Status::Failed, source, std::strerror(errno));
  Fd readEnd(fds[0]), writeEnd(fds[1]);
  const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  Fd nullFd(devNull);

  Child child;
  child.pid = ::fork();
  if (child.pid < 0) return Answer<std::string>::Fail(Status::Failed, source, std::strerror(errno));
  if (child.pid == 0) {
    // A group of its own, so a runtime that starts helpers is ended with them.
    ::setpgid(0, 0);
    if (devNull >= 0) ::dup2(devNull, 0);
    ::dup2(fds[1], 1);
    ::dup2(fds[1], 2);
    ::execve(program.c_str(), argv.data(), envp);
    ::_exit(127);
  }
  ::setpgid(child.pid, child.pid);  // also here, so the group exists before any kill
  writeEnd.Reset();

  std::string output;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      return Answer<std::string>::Fail(
          Status::TimedOut, source,
          "no answer within " + std::to_string(limit.count()) + " ms; the program was ended");
    pollfd pfd{readEnd.fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;  // the deadline check above ends the wait
    const ssize_t n = ::read(readEnd.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of output: the program closed it or exited
    if (output.size() < outputLimit)
      output.append(buffer, std::min<std::size_t>(n, outputLimit - output.size()));
  }

  // The output is closed; give the program what is left of the limit to exit.
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child.pid, &status, WNOHANG);
    if (done == child.pid) {
      child.pid = -1;
      break;
    }
    if (done < 0 && errno != EINTR) {
      child.pid = -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline)
      return Answer<std::string>::Fail(Status::TimedOut, source,
                                       "closed its output but did not exit; it was ended");
    ::usleep(5000);
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127 && output.empty())
    return Answer<std::string>::Fail(Status::Failed, source, "the program could not be started");
  return Answer<std::string>::Of(std::move(output), source);
}

}  // namespace tavrin::platform
