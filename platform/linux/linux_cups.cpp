// Print queues from the CUPS scheduler through libcups, bound at run time. Only the list of
// destinations is asked for; no job is ever sent.
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "base/time_limit.h"
#include "platform/linux/linux_input_output.h"

namespace tavrin::platform {
namespace {

constexpr const char* kLibrary = "libcups.so.2";
constexpr const char* kWhat = "CUPS scheduler";

// The destination and option records, as the CUPS API documentation lays them out.
struct CupsOption {
  char* name;
  char* value;
};
struct CupsDest {
  char* name;
  char* instance;
  int isDefault;
  int numOptions;
  CupsOption* options;
};

struct Cups {
  int (*getDests)(CupsDest**) = nullptr;
  void (*freeDests)(int, CupsDest*) = nullptr;
  int (*lastError)() = nullptr;
  const char* (*lastErrorString)() = nullptr;
  bool bound = false;
};

const Cups& Bound() {
  static Cups cups;
  static std::once_flag once;
  std::call_once(once, [] {
    void* handle = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) return;
    cups.getDests = reinterpret_cast<decltype(cups.getDests)>(dlsym(handle, "cupsGetDests"));
    cups.freeDests = reinterpret_cast<decltype(cups.freeDests)>(dlsym(handle, "cupsFreeDests"));
    cups.lastError = reinterpret_cast<decltype(cups.lastError)>(dlsym(handle, "cupsLastError"));
    cups.lastErrorString =
        reinterpret_cast<decltype(cups.lastErrorString)>(dlsym(handle, "cupsLastErrorString"));
    cups.bound = cups.getDests && cups.freeDests && cups.lastError && cups.lastErrorString;
  });
  return cups;
}

// Where the scheduler listens for local clients, unless the user names another server.
bool LocalSchedulerAnswers() {
  for (const char* path : {"/run/cups/cups.sock", "/var/run/cups/cups.sock"}) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (ok) return true;
  }
  return false;
}

Answer<std::vector<PrinterRecord>> ReadDestinations() {
  using Result = Answer<std::vector<PrinterRecord>>;
  const Cups& cups = Bound();
  if (!cups.bound)
    return Result::Fail(Status::Missing, kWhat, std::string(kLibrary) + " not loadable");
  CupsDest* dests = nullptr;
  const int count = cups.getDests(&dests);
  struct Free {
    const Cups& cups;
    int count;
    CupsDest* dests;
    ~Free() {
      if (dests) cups.freeDests(count, dests);
    }
  } release{cups, count, dests};
  // IPP status codes of 0x0400 and above are errors (RFC 8011, 4.1.6.1).
  if (count <= 0 && cups.lastError() >= 0x0400) {
    const char* text = cups.lastErrorString();
    return Result::Fail(Status::Failed, kWhat, text ? text : "the scheduler refused the request");
  }
  std::vector<PrinterRecord> list;
  for (int i = 0; i < count; ++i) {
    const CupsDest& d = dests[i];
    PrinterRecord r;
    r.name = d.name ? d.name : "";
    r.instance = d.instance ? d.instance : "";
    r.isDefault = d.isDefault != 0;
    for (int k = 0; k < d.numOptions; ++k)
      if (d.options[k].name && d.options[k].value)
        r.options[d.options[k].name] = UriWithoutCredentials(d.options[k].value);
    list.push_back(std::move(r));
  }
  return Result::Of(std::move(list), kWhat);
}

class ProbePrinterService : public PrinterService {
 public:
  explicit ProbePrinterService(Probe<std::vector<PrinterRecord>> probe)
      : probe_(std::move(probe)) {}
  Answer<std::vector<PrinterRecord>> Printers() const override {
    if (!probe_) return Answer<std::vector<PrinterRecord>>::Fail(Status::NotSupported, kWhat);
    return probe_();
  }

  Answer<WindowsPrinterList> EnumPrinters(uint32_t) const override {
    return Answer<WindowsPrinterList>::Fail(Status::NotSupported, "EnumPrinters");
  }
  Answer<WindowsDriverInfo> PrinterDriver(const std::string&) const override {
    return Answer<WindowsDriverInfo>::Fail(Status::NotSupported, "GetPrinterDriver");
  }
  Answer<std::string> ProfileString(const std::string&, const std::string&) const override {
    return Answer<std::string>::Fail(Status::NotSupported, "GetProfileString");
  }

 private:
  Probe<std::vector<PrinterRecord>> probe_;
};

}  // namespace

Probe<std::vector<PrinterRecord>> CupsProbe(std::chrono::milliseconds limit) {
  return [limit] {
    using Result = Answer<std::vector<PrinterRecord>>;
    const char* server = std::getenv("CUPS_SERVER");
    // With no server named elsewhere, a missing local socket means no scheduler runs: say so
    // without asking the library to try the network.
    if ((!server || !*server) && !LocalSchedulerAnswers())
      return Result::Fail(Status::Missing, kWhat, "the CUPS scheduler is not running");
    auto result = std::make_shared<Result>(Result::Fail(Status::TimedOut, kWhat));
    auto guard = std::make_shared<std::mutex>();
    auto done = base::RunWithTimeLimit(
        [result, guard] {
          auto answer = ReadDestinations();
          std::lock_guard lock(*guard);
          *result = std::move(answer);
        },
        limit);
    std::lock_guard lock(*guard);
    if (done.outcome != base::RunOutcome::Finished)
      return Result::Fail(Status::TimedOut, kWhat, "the scheduler did not answer in time");
    return *result;
  };
}

std::shared_ptr<const PrinterService> MakePrinterService(Probe<std::vector<PrinterRecord>> probe) {
  return std::make_shared<ProbePrinterService>(std::move(probe));
}

}  // namespace tavrin::platform
