#include "platform/linux/dbus_library.h"

#include <dlfcn.h>

#include <memory>
#include <mutex>

namespace tavrin::platform {
namespace {

constexpr const char* kLibrary = "libdbus-1.so.3";
constexpr int kBusSystem = 1;  // DBUS_BUS_SYSTEM
constexpr int kTypeString = 's';
constexpr int kTypeInvalid = 0;

// The library's error record, as its public documentation lays it out.
struct DBusError {
  const char* name;
  const char* message;
  unsigned int dummy1 : 1, dummy2 : 1, dummy3 : 1, dummy4 : 1, dummy5 : 1;
  void* padding1;
};
// The iterator is opaque and filled by the library; this is larger than any layout it had.
struct DBusMessageIter {
  alignas(void*) unsigned char opaque[256];
};
using Connection = void;
using Message = void;

struct Library {
  void (*errorInit)(DBusError*) = nullptr;
  void (*errorFree)(DBusError*) = nullptr;
  Connection* (*busGetPrivate)(int, DBusError*) = nullptr;
  void (*setExitOnDisconnect)(Connection*, unsigned) = nullptr;
  void (*close)(Connection*) = nullptr;
  void (*connectionUnref)(Connection*) = nullptr;
  Message* (*newMethodCall)(const char*, const char*, const char*, const char*) = nullptr;
  unsigned (*appendArgs)(Message*, int, ...) = nullptr;
  Message* (*sendWithReplyAndBlock)(Connection*, Message*, int, DBusError*) = nullptr;
  void (*messageUnref)(Message*) = nullptr;
  unsigned (*iterInit)(Message*, DBusMessageIter*) = nullptr;
  int (*iterGetArgType)(DBusMessageIter*) = nullptr;
  void (*iterRecurse)(DBusMessageIter*, DBusMessageIter*) = nullptr;
  unsigned (*iterNext)(DBusMessageIter*) = nullptr;
  void (*iterGetBasic)(DBusMessageIter*, void*) = nullptr;
  bool bound = false;
};

template <class F>
bool Bind(void* library, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(library, name));
  return target != nullptr;
}

// Bound once and kept: the library is never unloaded while a call may be under way.
const Library& Bound() {
  static Library lib;
  static std::once_flag once;
  std::call_once(once, [] {
    void* handle = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) return;
    lib.bound =
        Bind(handle, "dbus_error_init", lib.errorInit) &&
        Bind(handle, "dbus_error_free", lib.errorFree) &&
        Bind(handle, "dbus_bus_get_private", lib.busGetPrivate) &&
        Bind(handle, "dbus_connection_set_exit_on_disconnect", lib.setExitOnDisconnect) &&
        Bind(handle, "dbus_connection_close", lib.close) &&
        Bind(handle, "dbus_connection_unref", lib.connectionUnref) &&
        Bind(handle, "dbus_message_new_method_call", lib.newMethodCall) &&
        Bind(handle, "dbus_message_append_args", lib.appendArgs) &&
        Bind(handle, "dbus_connection_send_with_reply_and_block", lib.sendWithReplyAndBlock) &&
        Bind(handle, "dbus_message_unref", lib.messageUnref) &&
        Bind(handle, "dbus_message_iter_init", lib.iterInit) &&
        Bind(handle, "dbus_message_iter_get_arg_type", lib.iterGetArgType) &&
        Bind(handle, "dbus_message_iter_recurse", lib.iterRecurse) &&
        Bind(handle, "dbus_message_iter_next", lib.iterNext) &&
        Bind(handle, "dbus_message_iter_get_basic", lib.iterGetBasic);
  });
  return lib;
}

struct ErrorHolder {
  const Library& lib;
  DBusError error{};
  explicit ErrorHolder(const Library& l) : lib(l) { lib.errorInit(&error); }
  ~ErrorHolder() { lib.errorFree(&error); }
  std::string Name() const { return error.name ? error.name : ""; }
  std::string Text() const { return error.message ? error.message : Name(); }
};

struct ConnectionHolder {
  const Library& lib;
  Connection* connection = nullptr;
  ~ConnectionHolder() {
    if (!connection) return;
    lib.close(connection);
    lib.connectionUnref(connection);
  }
};

struct MessageHolder {
  const Library& lib;
  Message* message = nullptr;
  ~MessageHolder() {
    if (message) lib.messageUnref(message);
  }
};

// Containers nest at most 64 deep in a valid message; the limit also bounds the recursion.
void ReadValues(const Library& lib, DBusMessageIter& it, std::vector<DbusValue>& out, int depth) {
  if (depth > 64) return;
  for (int type = lib.iterGetArgType(&it); type != kTypeInvalid; type = lib.iterGetArgType(&it)) {
    DbusValue v;
    v.type = static_cast<char>(type);
    switch (type) {
      case 'a':
      case 'r':
      case 'e':
      case 'v': {
        DBusMessageIter sub{};
        lib.iterRecurse(&it, &sub);
        ReadValues(lib, sub, v.items, depth + 1);
        break;
      }
      case 's':
      case 'o':
      case 'g': {
        const char* text = nullptr;
        lib.iterGetBasic(&it, &text);
        if (text) v.text = text;
        break;
      }
      case 'd': {
        double d = 0;
        lib.iterGetBasic(&it, &d);
        v.real = d;
        break;
      }
      case 'y': {
        uint8_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      case 'n': {
        int16_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      case 'q': {
        uint16_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      case 'b':
      case 'u': {
        uint32_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      case 'i': {
        int32_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      case 'x':
      case 't': {
        int64_t n = 0;
        lib.iterGetBasic(&it, &n);
        v.integer = n;
        break;
      }
      default:
        break;  // file descriptors and unknown types carry nothing we read
    }
    out.push_back(std::move(v));
    if (!lib.iterNext(&it)) break;
  }
}

}  // namespace

const DbusValue* DbusValue::Find(std::string_view key) const {
  for (const auto& entry : items) {
    if (entry.type != 'e' || entry.items.size() != 2 || entry.items[0].text != key) continue;
    const DbusValue* value = &entry.items[1];
    if (value->type == 'v' && value->items.size() == 1) value = &value->items[0];
    return value;
  }
  return nullptr;
}

Answer<std::vector<DbusValue>> CallSystemBus(const DbusCall& call,
                                             std::chrono::milliseconds timeout) {
  using Result = Answer<std::vector<DbusValue>>;
  const std::string what = call.destination + " " + call.interface + "." + call.method;
  const Library& lib = Bound();
  if (!lib.bound)
    return Result::Fail(Status::Missing, what, std::string(kLibrary) + " not loadable");
  ErrorHolder error(lib);
  ConnectionHolder conn{lib, lib.busGetPrivate(kBusSystem, &error.error)};
  if (!conn.connection)
    return Result::Fail(Status::Missing, what, "no system bus: " + error.Text());
  // A private connection would end the whole program when the bus goes away.
  lib.setExitOnDisconnect(conn.connection, 0);
  MessageHolder request{lib, lib.newMethodCall(call.destination.c_str(), call.path.c_str(),
                                               call.interface.c_str(), call.method.c_str())};
  if (!request.message) return Result::Fail(Status::Failed, what, "out of memory");
  for (const auto& argument : call.arguments) {
    const char* text = argument.c_str();
    lib.appendArgs(request.message, kTypeString, &text, kTypeInvalid);
  }
  MessageHolder reply{lib,
                      lib.sendWithReplyAndBlock(conn.connection, request.message,
                                                static_cast<int>(timeout.count()), &error.error)};
  if (!reply.message) {
    const std::string name = error.Name();
    if (name == "org.freedesktop.DBus.Error.NoReply" ||
        name == "org.freedesktop.DBus.Error.Timeout")
      return Result::Fail(Status::TimedOut, what, error.Text());
    if (name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
        name == "org.freedesktop.DBus.Error.NameHasNoOwner")
      return Result::Fail(Status::Missing, what, "service not running");
    if (name == "org.freedesktop.DBus.Error.AccessDenied")
      return Result::Fail(Status::PermissionDenied, what, error.Text());
    return Result::Fail(Status::Failed, what, error.Text());
  }
  std::vector<DbusValue> values;
  DBusMessageIter it{};
  if (lib.iterInit(reply.message, &it)) ReadValues(lib, it, values, 0);
  return Result::Of(std::move(values), what);
}

}  // namespace tavrin::platform
