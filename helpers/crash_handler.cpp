#include "helpers/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "helpers/debug_log.h"
#include "helpers/program_path.h"

namespace tavrin::helpers {
namespace {

// Everything the handler needs is prepared at install: inside the handler only
// async-signal-safe calls may run, so no allocation, no stdio, no locale.
constexpr std::size_t kPathMax = 4096;
char g_folder[kPathMax];
char g_path[kPathMax];
char g_program[256];
constexpr const char* kVersion = TAVRIN_VERSION;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// The alternate stack lets the handler run after the main thread overflowed its stack.
constexpr std::size_t kAltStackSize = 64 * 1024;
alignas(16) char g_altStack[kAltStackSize];

void CopyText(char* dst, std::size_t size, const std::string& src) {
  std::size_t n = src.size() < size - 1 ? src.size() : size - 1;
  std::memcpy(dst, src.data(), n);
  dst[n] = 0;
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV:
      return "SIGSEGV";
    case SIGBUS:
      return "SIGBUS";
    case SIGFPE:
      return "SIGFPE";
    case SIGILL:
      return "SIGILL";
    case SIGABRT:
      return "SIGABRT";
    default:
      return "signal";
  }
}

// A small fixed buffer the handler composes its lines in.
struct Out {
  char text[1024];
  std::size_t length = 0;

  Out& Add(const char* s) {
    while (*s && length < sizeof text) text[length++] = *s++;
    return *this;
  }
  Out& Number(uint64_t v, unsigned base = 10, int minDigits = 1) {
    char digits[24];
    int n = 0;
    do {
      digits[n++] = "0123456789abcdef"[v % base];
      v /= base;
    } while (v && n < 24);
    while (n < minDigits && n < 24) digits[n++] = '0';
    while (n > 0 && length < sizeof text) text[length++] = digits[--n];
    return *this;
  }
  void WriteTo(int fd) const {
    std::size_t done = 0;
    while (done < length) {
      ssize_t w = write(fd, text + done, length - done);
      if (w <= 0) return;
      done += static_cast<std::size_t>(w);
    }
  }
};

// UTC calendar date from days since 1970-01-01 (the proleptic Gregorian arithmetic).
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

void MakeFolders() {
  char path[kPathMax];
  std::memcpy(path, g_folder, sizeof path);
  for (char* p = path + 1; *p; ++p) {
    if (*p != '/') continue;
    *p = 0;
    mkdir(path, 0700);
    *p = '/';
  }
  mkdir(path, 0700);
}

void OnFatalSignal(int sig, siginfo_t* info, void*) {
  MakeFolders();
  int fd = open(g_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd >= 0) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    int64_t days = now.tv_sec / 86400, secs = now.tv_sec % 86400, year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    Out out;
    out.Add("Tavrin System Information crash report\n");
    out.Add("Program: ").Add(g_program).Add("\nVersion: ").Add(kVersion).Add("\n");
    out.Add("Signal: ").Add(SignalName(sig)).Add(" (").Number(static_cast<unsigned>(sig)).Add(")");
    if (info && (sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL))
      out.Add(" at 0x").Number(reinterpret_cast<uintptr_t>(info->si_addr), 16);
    out.Add("\nTime: ").Number(static_cast<uint64_t>(year)).Add("-").Number(month, 10, 2);
    out.Add("-").Number(day, 10, 2).Add(" ").Number(static_cast<uint64_t>(secs / 3600), 10, 2);
    out.Add(":").Number(static_cast<uint64_t>(secs / 60 % 60), 10, 2).Add(":");
    out.Number(static_cast<uint64_t>(secs % 60), 10, 2)
        .Add(" UTC\nProcess: ")
        .Number(static_cast<uint64_t>(getpid()))
        .Add("\n\nBacktrace:\n");
    out.WriteTo(fd);
    void* frames[64];
    int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, fd);
    close(fd);
  }
  Out note;
  note.Add(g_program).Add(": crashed with ").Add(SignalName(sig));
  note.Add(fd >= 0 ? "; report written to " : "; could not write ").Add(g_path).Add("\n");
  note.WriteTo(STDERR_FILENO);
  // SA_RESETHAND restored the default action: raising again ends the process the way the
  // signal would have, core dump included.
  raise(sig);
}

}  // namespace

void InstallCrashHandler() {
  std::filesystem::path folder = StateFolder();
  std::filesystem::path file = folder / ("crash-" + std::to_string(getpid()) + ".txt");
  CopyText(g_folder, sizeof g_folder, folder.string());
  CopyText(g_path, sizeof g_path, file.string());
  CopyText(g_program, sizeof g_program, ProgramFileName());

  // backtrace() loads its unwinder on first use, which allocates: do that now, not in the
  // handler.
  void* warmup[2];
  backtrace(warmup, 2);

  // Keep an alternate stack someone else (a sanitizer runtime) already set up.
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
    stack_t stack{};
    stack.ss_sp = g_altStack;
    stack.ss_size = kAltStackSize;
    sigaltstack(&stack, nullptr);
  }

  struct sigaction action {};
  action.sa_sigaction = &OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) sigaction(sig, &action, nullptr);
}

std::filesystem::path CrashReportPath() {
  return g_path;
}

}  // namespace tavrin::helpers
