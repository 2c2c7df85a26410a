#include "helpers/libhelper/helper_service.h"

#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/strings.h"
#include "helpers/common/user_folders.h"
#include "helpers/libcommon/lib_log.h"
#include "helpers/libhelper/format_bytes.h"
#include "platform/whole_file.h"

extern char** environ;

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;

// os-release and user-dirs.dirs are a few hundred bytes; a FIFO or a device in their place
// reads as empty instead of blocking.
std::string ReadText(const fs::path& file) {
  return platform::ReadWholeFile(file, std::size_t{1} << 20).value_or(std::string());
}

using base::Trim;

// Shell-style value of os-release and user-dirs.dirs: optional quotes, backslash escapes.
std::string Unquote(std::string_view value) {
  value = Trim(value);
  char quote = 0;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quote = value.front();
    value = value.substr(1, value.size() - 2);
  }
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && quote != '\'' && i + 1 < value.size()) ++i;
    out += value[i];
  }
  return out;
}

// Value of the first "name=value" line.
std::string AssignedValue(std::string_view text, std::string_view name) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.size() > name.size() && line.substr(0, name.size()) == name &&
        line[name.size()] == '=')
      return Unquote(line.substr(name.size() + 1));
  }
  return {};
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    if (const char* v = std::getenv(name); v && *v) return true;
  return false;
}

}  // namespace

std::string OsReleasePrettyName(std::string_view osRelease) {
  return AssignedValue(osRelease, "PRETTY_NAME");
}

std::string UserDirsDocuments(std::string_view userDirs, std::string_view home) {
  std::string value = AssignedValue(userDirs, "XDG_DOCUMENTS_DIR");
  if (value.rfind("$HOME", 0) == 0) return std::string(home) + value.substr(5);
  if (!value.empty() && value.front() == '/') return value;
  return {};  // relative paths are not allowed there
}

int32_t HelperService::GetOSCode() {
  return kOSCodeLinux;
}

std::string HelperService::GetOSName() {
  for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::string name = OsReleasePrettyName(ReadText(file));
    if (!name.empty()) return name;
  }
  return "Linux";
}

void HelperService::OpenLink(std::string_view link) {
  if (link.empty()) return;
  if (!HasDisplay()) {
    LibLogFmt("OpenLink: no graphical session, not opening %.*s", static_cast<int>(link.size()),
              link.data());
    return;
  }
  // The shell puts xdg-open in the background and ends at once, so the opener is nobody's
  // child here and no zombie is left behind; the link travels as an argument, never as
  // shell text.
  std::string target(link);
  const char* argv[] = {"sh", "-c",           "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &",
                        "sh", target.c_str(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ);
  if (rc != 0) {
    LibLogFmt("OpenLink: cannot start the shell: %s", std::strerror(rc));
    return;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string HelperService::GetDocumentsFolder() {
  const fs::path home = HomeFolder();
  std::string configured = UserDirsDocuments(
      ReadText(XdgFolder("XDG_CONFIG_HOME", ".config") / "user-dirs.dirs"), home.string());
  if (!configured.empty()) return configured;
  std::error_code ec;
  if (fs::is_directory(home / "Documents", ec)) return (home / "Documents").string();
  return home.string();
}

std::string HelperService::FormatBytes(uint8_t mode, std::string_view thousandSeparator,
                                       uint64_t size, int32_t decimals, int32_t flag,
                                       std::string_view suffix) {
  return FormatByteSize(mode, thousandSeparator, size, decimals, flag != 0, suffix);
}

uint32_t HelperService::GetArchitectureCode() {
  utsname name{};
  if (uname(&name) != 0) return sizeof(void*) == 8 ? kArchitecture64 : kArchitecture32;
  // The machine, not this build: a 32-bit program on a 64-bit kernel reports 64 bits.
  std::string_view machine = name.machine;
  bool wide = machine.find("64") != std::string_view::npos || machine == "s390x";
  return wide ? kArchitecture64 : kArchitecture32;
}

uint64_t HelperService::GetInstalledMemory(uint8_t unit) {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return BytesInUnit(static_cast<uint64_t>(info.totalram) * info.mem_unit, unit);
}

uint64_t HelperService::GetFreeDiskSpace(uint8_t unit) {
  struct statvfs fs {};
  if (statvfs(HomeFolder().c_str(), &fs) != 0) return 0;
  return BytesInUnit(static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize, unit);
}

void HelperService::CheckForUpdates() {
  LibLog("CheckForUpdates: no update check on Linux; updates come with the system's packages");
}

}  // namespace tavrin::helpers
