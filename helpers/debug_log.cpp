#include "helpers/debug_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>

#include "helpers/common/format_v.h"
#include "helpers/common/guid.h"
#include "helpers/common/user_folders.h"
#include "helpers/program_path.h"
#include "platform/linux/settings_file.h"
#include "platform/utf16.h"

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::string_view kDebugModeKey = "Software\\Tavrin\\DebugMode";
constexpr std::string_view kDebugModeValue = "DebugMode";
// The number 1 here puts the log beside the program, where the Windows program kept it.
constexpr std::string_view kProgramFolderValue = "LogInProgramFolder";
constexpr auto kOpenRetry = std::chrono::milliseconds(100);

struct LogState {
  std::mutex mutex;  // guards everything below; never held while a line is written
  std::vector<std::string> arguments;
  std::optional<fs::path> folder;  // test override of the log folder
  bool programFolder = false;      // the settings ask for the log beside the program
  bool fallback = false;
  bool fallbackNoted = false;
};

LogState& State() {
  static LogState state;
  return state;
}

// -1 undecided, 0 off, 1 on. Read without the lock on every log call.
std::atomic<int> g_mode{-1};

// Only a number counts: the text "1" does not turn anything on.
bool SettingIsOne(const platform::RegistryTree& tree, std::string_view name) {
  auto value = tree.ReadValue(platform::RegRoot::CurrentUser, kDebugModeKey, name);
  return value && value->type == platform::RegType::Dword && value->AsDword() == 1u;
}

// Called with the state's lock held.
bool DecideMode(LogState& state) {
  platform::SettingsLoad load = platform::LoadSettingsFile(platform::SettingsFilePath());
  state.programFolder = SettingIsOne(*load.tree, kProgramFolderValue);
  if (SettingIsOne(*load.tree, kDebugModeValue)) return true;
  return !state.arguments.empty() && EqualNoCase(state.arguments.front(), "-debug");
}

// Errors that waiting cannot cure: the folder is missing, read-only or not ours.
bool IsPermanent(int err) {
  return err == EACCES || err == EPERM || err == EROFS || err == ENOENT || err == ENOTDIR ||
         err == EISDIR || err == ENAMETOOLONG || err == ELOOP;
}

// UTF-16LE code units; a new file starts with the byte-order mark so that editors and tools
// recognise the encoding.
std::vector<uint8_t> Utf16LeBytes(std::string_view utf8) {
  std::vector<uint8_t> bytes;
  platform::AppendUtf16LeBytes(platform::Utf8ToUtf16(utf8), bytes);
  return bytes;
}

// Opens, appends and closes, retrying a failing open for up to 100 ms. Returns 0 when the
// line was written, else the last open error (the line is then lost).
int AppendLine(const fs::path& file, std::string_view line) {
  // Threads of this program take turns, so that only the first line of a new file gets the
  // byte-order mark before it.
  static std::mutex append_mutex;
  std::lock_guard append_lock(append_mutex);
  const Clock::time_point start = Clock::now();
  int fd;
  while ((fd = open(file.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) < 0) {
    int err = errno;
    if (IsPermanent(err) || Clock::now() - start >= kOpenRetry) return err;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::vector<uint8_t> bytes = Utf16LeBytes(std::string(line) + "\r\n");
  struct stat info {};
  if (fstat(fd, &info) == 0 && info.st_size == 0) bytes.insert(bytes.begin(), {0xFF, 0xFE});
  // One write call, so with O_APPEND lines of two threads do not interleave.
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  close(fd);
  return 0;
}

// The folder the settings or a test ask for; empty for the state folder.
fs::path PrimaryFolder() {
  std::lock_guard lock(State().mutex);
  if (State().folder) return *State().folder;
  return State().programFolder ? ProgramFolder() : fs::path();
}

bool UsingFallback() {
  std::lock_guard lock(State().mutex);
  return State().fallback;
}

// Moves the log to the state folder; the first line there tells why, once.
void SwitchToFallback(const fs::path& primary) {
  std::lock_guard lock(State().mutex);
  State().fallback = true;
  if (State().fallbackNoted) return;
  State().fallbackNoted = true;
  std::error_code ec;
  fs::create_directories(StateFolder(), ec);
  AppendLine(StateFolder() / "debug.log",
             ComposeLogLine(ProgramFileName(), "The diagnostics log is written here because " +
                                                   primary.string() + " is not writable."));
}

void WriteLine(std::string_view line) {
  if (!UsingFallback()) {
    if (fs::path primary = PrimaryFolder(); !primary.empty()) {
      int err = AppendLine(primary / "debug.log", line);
      if (err == 0 || !IsPermanent(err)) return;
      SwitchToFallback(primary);
    }
  }
  if (AppendLine(StateFolder() / "debug.log", line) == ENOENT) {
    std::error_code ec;
    fs::create_directories(StateFolder(), ec);
    AppendLine(StateFolder() / "debug.log", line);
  }
}

}  // namespace

void SetDebugArguments(int argc, const char* const* argv) {
  std::lock_guard lock(State().mutex);
  State().arguments.clear();
  for (int i = 1; i < argc; ++i) State().arguments.emplace_back(argv[i] ? argv[i] : "");
}

bool DebugModeOn() {
  int mode = g_mode.load(std::memory_order_acquire);
  if (mode >= 0) return mode == 1;
  std::lock_guard lock(State().mutex);
  mode = g_mode.load(std::memory_order_relaxed);
  if (mode < 0) {
    mode = DecideMode(State()) ? 1 : 0;
    g_mode.store(mode, std::memory_order_release);
  }
  return mode == 1;
}

void DebugLog(std::string_view text) {
  if (!DebugModeOn()) return;
  WriteLine(ComposeLogLine(ProgramFileName(), text));
}

void DebugLogFmt(const char* format, ...) {
  if (!DebugModeOn()) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatV(format, args);
  va_end(args);
  DebugLog(text);
}

std::string ComposeLogLine(std::string_view programName, std::string_view text) {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d:%03d", local.tm_hour, local.tm_min,
                local.tm_sec, static_cast<int>(millis.count()));
  std::string line = stamp;
  line += ": (";
  line += programName;
  line += ") ";
  line += text;
  return line;
}

fs::path StateFolder() {
  return XdgFolder("XDG_STATE_HOME", ".local/state") / "tavrin";
}

namespace testing {
void ResetDebugLog(fs::path folder, std::vector<std::string> arguments) {
  std::lock_guard lock(State().mutex);
  State().arguments = std::move(arguments);
  State().folder = folder.empty() ? std::nullopt : std::optional<fs::path>(std::move(folder));
  State().fallback = false;
  State().fallbackNoted = false;
  g_mode.store(-1, std::memory_order_release);
}

void DecideDebugMode(bool on) {
  g_mode.store(on ? 1 : 0, std::memory_order_release);
}
}  // namespace testing

}  // namespace tavrin::helpers

extern "C" __attribute__((visibility("default"))) void tavrin_host_debug_log(const char* text,
                                                                             std::size_t length) {
  tavrin::helpers::DebugLog(std::string_view(text, text ? length : 0));
}
