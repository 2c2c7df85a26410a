#include "platform/linux/linux_desktop_proxy.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

namespace tavrin::platform {
namespace {

// The settings library's C interface, as its reference manual documents it. Every object is
// an opaque pointer here; gboolean is an int and gchar a char.
using SchemaSourceGetDefault = void* (*)();
using SchemaSourceLookup = void* (*)(void* source, const char* id, int recursive);
using SchemaUnref = void (*)(void* schema);
using SettingsNew = void* (*)(const char* id);
using GetString = char* (*)(void* settings, const char* key);
using GetInt = int (*)(void* settings, const char* key);
using GetStrv = char** (*)(void* settings, const char* key);
using ObjectUnref = void (*)(void* object);
using StrFreeV = void (*)(char** list);
using Free = void (*)(void* memory);

struct Gio {
  SchemaSourceGetDefault sourceDefault = nullptr;
  SchemaSourceLookup lookup = nullptr;
  SchemaUnref schemaUnref = nullptr;
  SettingsNew settingsNew = nullptr;
  GetString getString = nullptr;
  GetInt getInt = nullptr;
  GetStrv getStrv = nullptr;
  ObjectUnref objectUnref = nullptr;
  StrFreeV strfreev = nullptr;
  Free free = nullptr;

  // Creating settings for a schema that is not installed aborts the process, so every
  // schema is looked up first.
  bool HasSchema(const std::string& id) const {
    void* source = sourceDefault();
    if (source == nullptr) return false;  // no schemas installed at all
    void* schema = lookup(source, id.c_str(), 1);
    if (schema == nullptr) return false;
    schemaUnref(schema);
    return true;
  }

  std::string String(void* settings, const char* key) const {
    char* value = getString(settings, key);
    std::string out = value != nullptr ? value : "";
    free(value);
    return out;
  }

  std::vector<std::string> Strings(void* settings, const char* key) const {
    std::vector<std::string> out;
    char** list = getStrv(settings, key);
    for (char** at = list; at != nullptr && *at != nullptr; ++at) out.emplace_back(*at);
    strfreev(list);
    return out;
  }
};

template <class F>
bool Bind(void* library, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(library, name));
  return target != nullptr;
}

class LinuxDesktopProxySource : public DesktopProxySource {
 public:
  explicit LinuxDesktopProxySource(std::shared_ptr<const EnvironmentSource> environment)
      : env_(std::move(environment)) {}
  Answer<GnomeProxySettings> GnomeProxy() const override {
    if (auto why = SettingsReadWouldWrite(*env_))
      return Answer<GnomeProxySettings>::Fail(Status::Missing,
                                              std::string("GSettings ") + kGnomeProxySchema, *why);
    return ReadGnomeProxySettings();
  }

 private:
  std::shared_ptr<const EnvironmentSource> env_;
};

}  // namespace

Answer<GnomeProxySettings> ReadGnomeProxySettings(const char* library, const char* schema) {
  const std::string what = std::string("GSettings ") + schema;
  // The library stays loaded: it registers types that cannot be unloaded again, and a second
  // dlopen of the same name only counts a reference.
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) {
    const char* error = dlerror();
    return Answer<GnomeProxySettings>::Fail(
        Status::Missing, what,
        std::string(library) + " not loadable" +
            (error != nullptr ? ": " + std::string(error) : ""));
  }
  Gio gio;
  const bool bound = Bind(handle, "g_settings_schema_source_get_default", gio.sourceDefault) &&
                     Bind(handle, "g_settings_schema_source_lookup", gio.lookup) &&
                     Bind(handle, "g_settings_schema_unref", gio.schemaUnref) &&
                     Bind(handle, "g_settings_new", gio.settingsNew) &&
                     Bind(handle, "g_settings_get_string", gio.getString) &&
                     Bind(handle, "g_settings_get_int", gio.getInt) &&
                     Bind(handle, "g_settings_get_strv", gio.getStrv) &&
                     Bind(handle, "g_object_unref", gio.objectUnref) &&
                     Bind(handle, "g_strfreev", gio.strfreev) && Bind(handle, "g_free", gio.free);
  if (!bound)
    return Answer<GnomeProxySettings>::Fail(Status::NotSupported, what,
                                            std::string(library) + " lacks the settings functions");
  if (!gio.HasSchema(schema))
    return Answer<GnomeProxySettings>::Fail(Status::Missing, what, "schema not installed");

  GnomeProxySettings out;
  void* settings = gio.settingsNew(schema);
  if (settings == nullptr)
    return Answer<GnomeProxySettings>::Fail(Status::Failed, what, "settings not created");
  out.mode = gio.String(settings, "mode");
  out.autoconfigUrl = gio.String(settings, "autoconfig-url");
  out.ignoreHosts = gio.Strings(settings, "ignore-hosts");
  gio.objectUnref(settings);

  for (auto [child, endpoint] : {std::pair{".http", &out.http},
                                 {".https", &out.https},
                                 {".ftp", &out.ftp},
                                 {".socks", &out.socks}}) {
    const std::string id = std::string(schema) + child;
    if (!gio.HasSchema(id)) continue;
    void* part = gio.settingsNew(id.c_str());
    if (part == nullptr) continue;
    endpoint->host = gio.String(part, "host");
    endpoint->port = gio.getInt(part, "port");
    gio.objectUnref(part);
  }
  return Answer<GnomeProxySettings>::Of(std::move(out), what);
}

std::optional<std::string> SettingsReadWouldWrite(const EnvironmentSource& environment) {
  const auto backend = environment.Get("GSETTINGS_BACKEND");
  if (backend && *backend == "memory") return std::nullopt;  // keeps everything in memory
  // dconf keeps its flag file in the user's runtime folder, or the cache folder without one.
  std::string runtime = environment.Get("XDG_RUNTIME_DIR").value_or("");
  if (runtime.empty()) {
    runtime = environment.Get("XDG_CACHE_HOME").value_or("");
    if (runtime.empty()) {
      const std::string home = environment.Get("HOME").value_or("");
      if (home.empty()) return "no runtime or home folder for the desktop settings";
      runtime = home + "/.cache";
    }
  }
  const std::string flag = runtime + "/dconf/user";
  if (::access(flag.c_str(), F_OK) != 0) return "no desktop session has opened its settings";
  return std::nullopt;
}

std::shared_ptr<const DesktopProxySource> LinuxDesktopProxy(
    std::shared_ptr<const EnvironmentSource> environment) {
  return std::make_shared<LinuxDesktopProxySource>(std::move(environment));
}

}  // namespace tavrin::platform
