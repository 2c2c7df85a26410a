// Service units of the running service manager, asked over the system bus. libsystemd is bound
// at run time: without it, or without a manager on the bus, the unit files answer instead.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/linux/linux_processes.h"
#include "platform/linux/proc_text.h"

namespace tavrin::platform {
namespace {

constexpr const char* kLibrary = "libsystemd.so.0";
constexpr const char* kManager = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManagerInterface = "org.freedesktop.systemd1.Manager";
constexpr const char* kServiceInterface = "org.freedesktop.systemd1.Service";
constexpr const char* kWhat = "systemd on the system bus";

// The bus library's error record, as its public header lays it out.
struct BusError {
  const char* name = nullptr;
  const char* message = nullptr;
  int needFree = 0;
};

struct SdBus {
  int (*openSystem)(void** bus) = nullptr;
  int (*setTimeout)(void* bus, uint64_t usec) = nullptr;
  int (*callMethod)(void* bus, const char* dest, const char* path, const char* iface,
                    const char* member, BusError* error, void** reply, const char* types,
                    ...) = nullptr;
  int (*getProperty)(void* bus, const char* dest, const char* path, const char* iface,
                     const char* member, BusError* error, void** reply, const char* type) = nullptr;
  int (*getTrivial)(void* bus, const char* dest, const char* path, const char* iface,
                    const char* member, BusError* error, char type, void* value) = nullptr;
  int (*getString)(void* bus, const char* dest, const char* path, const char* iface,
                   const char* member, BusError* error, char** value) = nullptr;
  int (*enter)(void* message, char type, const char* contents) = nullptr;
  int (*exit)(void* message) = nullptr;
  int (*read)(void* message, const char* types, ...) = nullptr;
  int (*skip)(void* message, const char* types) = nullptr;
  void* (*messageUnref)(void* message) = nullptr;
  void* (*busUnref)(void* bus) = nullptr;
  void (*errorFree)(BusError* error) = nullptr;
};

template <class F>
bool Bind(void* library, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(library, name));
  return target != nullptr;
}

// Releases a reply and an error record whatever way a read leaves.
struct Reply {
  explicit Reply(const SdBus& sd) : bus(sd) {}
  Reply(const Reply&) = delete;
  Reply& operator=(const Reply&) = delete;
  const SdBus& bus;
  void* message = nullptr;
  BusError error;
  ~Reply() {
    if (message) bus.messageUnref(message);
    bus.errorFree(&error);
  }
};

ServiceState StateOf(std::string_view active) {
  if (active == "active" || active == "reloading" || active == "refreshing")
    return ServiceState::kRunning;
  if (active == "activating") return ServiceState::kStartPending;
  if (active == "deactivating") return ServiceState::kStopPending;
  if (active == "inactive" || active == "failed" || active == "maintenance")
    return ServiceState::kStopped;
  return ServiceState::kUnknown;
}

ServiceStart StartOf(std::string_view fileState) {
  if (fileState.starts_with("enabled") || fileState == "alias") return ServiceStart::kAutomatic;
  if (fileState.starts_with("masked")) return ServiceStart::kDisabled;
  return ServiceStart::kManual;
}

std::map<std::string, std::string> UnitFileStates(const SdBus& sd, void* bus) {
  std::map<std::string, std::string> states;
  Reply reply{sd};
  if (sd.callMethod(bus, kManager, kManagerPath, kManagerInterface, "ListUnitFiles", &reply.error,
                    &reply.message, "") < 0)
    return states;
  if (sd.enter(reply.message, 'a', "(ss)") < 0) return states;
  const char* path = nullptr;
  const char* state = nullptr;
  while (sd.read(reply.message, "(ss)", &path, &state) > 0)
    states.emplace(std::string(proc::FileNamePart(path)), state);
  return states;
}

// The program of the unit's first ExecStart entry.
std::string ExecStartProgram(const SdBus& sd, void* bus, const char* objectPath) {
  Reply reply{sd};
  if (sd.getProperty(bus, kManager, objectPath, kServiceInterface, "ExecStart", &reply.error,
                     &reply.message, "a(sasbttttuii)") < 0)
    return {};
  if (sd.enter(reply.message, 'a', "(sasbttttuii)") <= 0) return {};
  if (sd.enter(reply.message, 'r', "sasbttttuii") <= 0) return {};
  const char* program = nullptr;
  if (sd.read(reply.message, "s", &program) <= 0 || program == nullptr) return {};
  return program;
}

}  // namespace

Answer<std::vector<ServiceRecord>> ReadServiceManagerUnits() {
  // systemd marks a system it started with this folder; without it there is no manager to
  // ask, and loading the library would only cost time.
  if (::access("/run/systemd/system", F_OK) != 0)
    return Answer<std::vector<ServiceRecord>>::Fail(
        Status::Missing, kWhat, "systemd is not running (/run/systemd/system is missing)");
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (library == nullptr)
    return Answer<std::vector<ServiceRecord>>::Fail(Status::Missing, kWhat,
                                                    std::string(kLibrary) + " not loadable");
  SdBus sd;
  const bool bound = Bind(library, "sd_bus_open_system", sd.openSystem) &&
                     Bind(library, "sd_bus_call_method", sd.callMethod) &&
                     Bind(library, "sd_bus_get_property", sd.getProperty) &&
                     Bind(library, "sd_bus_get_property_trivial", sd.getTrivial) &&
                     Bind(library, "sd_bus_get_property_string", sd.getString) &&
                     Bind(library, "sd_bus_message_enter_container", sd.enter) &&
                     Bind(library, "sd_bus_message_exit_container", sd.exit) &&
                     Bind(library, "sd_bus_message_read", sd.read) &&
                     Bind(library, "sd_bus_message_skip", sd.skip) &&
                     Bind(library, "sd_bus_message_unref", sd.messageUnref) &&
                     Bind(library, "sd_bus_flush_close_unref", sd.busUnref) &&
                     Bind(library, "sd_bus_error_free", sd.errorFree);
  Bind(library, "sd_bus_set_method_call_timeout", sd.setTimeout);  // newer libraries only
  if (!bound)
    return Answer<std::vector<ServiceRecord>>::Fail(
        Status::NotSupported, kWhat, std::string(kLibrary) + " lacks the bus functions");
  void* bus = nullptr;
  if (sd.openSystem(&bus) < 0 || bus == nullptr)
    return Answer<std::vector<ServiceRecord>>::Fail(Status::Missing, kWhat, "no system bus");
  struct BusCloser {
    const SdBus& sd;
    void* bus;
    ~BusCloser() { sd.busUnref(bus); }
  } closer{sd, bus};
  // A manager that does not answer must not hold up the gathering.
  if (sd.setTimeout) sd.setTimeout(bus, 2'000'000);

  Reply units{sd};
  if (sd.callMethod(bus, kManager, kManagerPath, kManagerInterface, "ListUnits", &units.error,
                    &units.message, "") < 0)
    return Answer<std::vector<ServiceRecord>>::Fail(
        Status::Missing, kWhat, units.error.message ? units.error.message : "no service manager");
  const auto fileStates = UnitFileStates(sd, bus);
  std::vector<ServiceRecord> services;
  if (sd.enter(units.message, 'a', "(ssssssouso)") < 0)
    return Answer<std::vector<ServiceRecord>>::Fail(Status::Malformed, kWhat,
                                                    "unexpected unit list");
  const char *name = nullptr, *description = nullptr, *load = nullptr, *active = nullptr,
             *sub = nullptr, *following = nullptr, *path = nullptr, *jobType = nullptr,
             *jobPath = nullptr;
  uint32_t jobId = 0;
  while (sd.read(units.message, "(ssssssouso)", &name, &description, &load, &active, &sub,
                 &following, &path, &jobId, &jobType, &jobPath) > 0) {
    const std::string unit = name ? name : "";
    if (!unit.ends_with(".service")) continue;
    ServiceRecord s;
    s.name = unit;
    s.displayName = description && *description ? description : unit;
    s.status = StateOf(active ? active : "");
    auto state = fileStates.find(unit);
    s.startup = state != fileStates.end() ? StartOf(state->second) : ServiceStart::kManual;
    if (path && std::string_view(load ? load : "") == "loaded") {
      BusError error;
      uint32_t pid = 0;
      if (sd.getTrivial(bus, kManager, path, kServiceInterface, "MainPID", &error, 'u', &pid) >= 0)
        s.processId = pid;
      sd.errorFree(&error);
      char* user = nullptr;
      BusError userError;
      if (sd.getString(bus, kManager, path, kServiceInterface, "User", &userError, &user) >= 0 &&
          user) {
        s.objectName = *user ? user : "root";
        free(user);
      }
      sd.errorFree(&userError);
      s.imageName = ExecStartProgram(sd, bus, path);
    }
    services.push_back(std::move(s));
  }
  return Answer<std::vector<ServiceRecord>>::Of(std::move(services), kWhat);
}

}  // namespace tavrin::platform
