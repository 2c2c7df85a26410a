#include "platform/linux/linux_system_facts.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <vector>

namespace tavrin::platform {

OsVersion ParseKernelRelease(std::string_view release) {
  OsVersion v;
  v.platform = OsPlatform::Linux;
  uint32_t* parts[] = {&v.major, &v.minor, &v.build};
  std::size_t pos = 0;
  for (std::size_t i = 0; i < 3 && pos < release.size(); ++i) {
    const char* begin = release.data() + pos;
    const char* end = release.data() + release.size();
    auto [next, ec] = std::from_chars(begin, end, *parts[i]);
    if (ec != std::errc()) break;
    pos = static_cast<std::size_t>(next - release.data());
    if (i < 2 && pos < release.size() && release[pos] == '.') {
      ++pos;
    } else {
      break;
    }
  }
  v.csd = std::string(release.substr(pos));
  return v;
}

Answer<std::string> LinuxSystemFacts::UserName() const {
  const uid_t uid = ::geteuid();
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  const int err = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
  if (err == 0 && found != nullptr && found->pw_name != nullptr) {
    return Answer<std::string>::Of(found->pw_name, "getpwuid_r");
  }
  if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') {
    return Answer<std::string>::Of(user, "environment USER");
  }
  return Answer<std::string>::Fail(Status::Missing, "getpwuid_r",
                                   err != 0 ? std::strerror(err) : "no user database entry");
}

Answer<std::string> LinuxSystemFacts::UserId() const {
  return Answer<std::string>::Of(std::to_string(::geteuid()), "geteuid");
}

Answer<std::string> LinuxSystemFacts::ComputerName() const {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) {
    const int err = errno;
    return Answer<std::string>::Fail(StatusFromErrno(err), "gethostname", std::strerror(err));
  }
  return Answer<std::string>::Of(name, "gethostname");
}

Answer<std::string> LinuxSystemFacts::ProgramPath() const {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return Answer<std::string>::Fail(StatusFromErrno(ec.value()), "/proc/self/exe", ec.message());
  return Answer<std::string>::Of(path.string(), "/proc/self/exe");
}

Answer<OsVersion> LinuxSystemFacts::OsVersionRecord() const {
  utsname names{};
  if (::uname(&names) != 0) {
    const int err = errno;
    return Answer<OsVersion>::Fail(StatusFromErrno(err), "uname", std::strerror(err));
  }
  return Answer<OsVersion>::Of(ParseKernelRelease(names.release), "uname");
}

}  // namespace tavrin::platform
