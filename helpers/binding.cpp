#include "helpers/binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "helpers/common/guid.h"
#include "helpers/debug_log.h"
#include "helpers/program_path.h"

namespace tavrin::helpers {
namespace {

using GetInstanceFn = void* (*)(const char16_t* guid, uint32_t flags);

struct Library {
  std::string name;  // as first asked for
  void* handle;
};

std::mutex& ListMutex() {
  static std::mutex m;
  return m;
}

std::vector<Library>& List() {
  static std::vector<Library> list;
  return list;
}

// Finds the library in the list or loads it from the program's folder. Null when it cannot
// be loaded; the loader's reason goes to the diagnostics log.
void* FindOrLoad(std::string_view libraryName) {
  std::lock_guard lock(ListMutex());
  for (const Library& lib : List())
    if (EqualNoCase(lib.name, libraryName)) return lib.handle;
  std::string file = (ProgramFolder() / LibraryFileName(libraryName)).string();
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    DebugLogFmt("Cannot load %s: %s", file.c_str(), why ? why : "unknown error");
    return nullptr;
  }
  List().push_back({std::string(libraryName), handle});
  return handle;
}

void DefaultSink(std::string_view, std::string_view text) {
  std::string out = "Error: ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stderr);
}

std::atomic<MessageSink> g_sink{&DefaultSink};

}  // namespace

InterfaceCache::State InterfaceCache::state() const {
  uintptr_t w = word_.load(std::memory_order_acquire);
  return w == 0 ? State::NotAsked : w == kFailed ? State::Failed : State::Bound;
}

Unknown* InterfaceCache::get() const {
  uintptr_t w = word_.load(std::memory_order_acquire);
  return w == 0 || w == kFailed ? nullptr : reinterpret_cast<Unknown*>(w);
}

std::string LibraryFileName(std::string_view libraryName) {
  std::string_view stem = libraryName;
  if (stem.size() > 4 && EqualNoCase(stem.substr(stem.size() - 4), ".dll")) stem.remove_suffix(4);
  return "lib" + std::string(stem) + ".so";
}

Unknown* GetInterface(InterfaceCache& cache, std::string_view libraryName, std::string_view guid,
                      uint32_t flags) {
  uintptr_t w = cache.word_.load(std::memory_order_acquire);
  if (w == InterfaceCache::kFailed) return nullptr;
  if (w != 0) return reinterpret_cast<Unknown*>(w);

  // Failed until proven otherwise, so a library that calls back into the binding while it
  // is being asked cannot start a second attempt.
  cache.word_.store(InterfaceCache::kFailed, std::memory_order_release);
  void* handle = FindOrLoad(libraryName);
  if (!handle) return nullptr;
  auto getInstance = reinterpret_cast<GetInstanceFn>(dlsym(handle, "GetInstance"));
  if (!getInstance) {
    DebugLogFmt("%.*s has no GetInstance", static_cast<int>(libraryName.size()),
                libraryName.data());
    return nullptr;
  }
  std::u16string wide = GuidToUtf16(guid);
  // Libraries hand out the interface as its Unknown*, so the accessors can cast down.
  auto* intf = static_cast<Unknown*>(getInstance(wide.c_str(), flags));
  if (!intf) {
    DebugLogFmt("%.*s does not offer %.*s", static_cast<int>(libraryName.size()),
                libraryName.data(), static_cast<int>(guid.size()), guid.data());
    return nullptr;
  }
  cache.word_.store(reinterpret_cast<uintptr_t>(intf), std::memory_order_release);
  return intf;
}

std::string LoadErrorMessage(std::string_view displayName) {
  return "An error occurred while loading library " + std::string(displayName) +
         ". \r\n\r\nIt may have been removed. Please reinstall the application. If the problem "
         "persists, contact technical support.";
}

MessageSink SetMessageSink(MessageSink sink) {
  return g_sink.exchange(sink ? sink : &DefaultSink);
}

void RequireInterface(Unknown* intf, std::string_view displayName) {
  if (intf) return;
  g_sink.load()("Error", LoadErrorMessage(displayName));
  std::fflush(nullptr);
  // No destructors and no exit handlers: half-bound libraries must not run their clean-up.
  _exit(0);
}

void ReleaseInterface(InterfaceCache& cache) {
  uintptr_t w = cache.word_.exchange(0, std::memory_order_acq_rel);
  if (w != 0 && w != InterfaceCache::kFailed) reinterpret_cast<Unknown*>(w)->Release();
}

std::vector<std::string> LoadedLibraries() {
  std::lock_guard lock(ListMutex());
  std::vector<std::string> names;
  for (const Library& lib : List()) names.push_back(lib.name);
  return names;
}

void UnloadLibraries() {
  std::lock_guard lock(ListMutex());
  for (auto it = List().rbegin(); it != List().rend(); ++it) dlclose(it->handle);
  List().clear();
}

}  // namespace tavrin::helpers
