#include "helpers/binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <utility>

#include "helpers/common/guid.h"
#include "helpers/debug_log.h"
#include "helpers/elf_check.h"
#include "helpers/program_path.h"

namespace tavrin::helpers {
namespace {

using GetInstanceFn = void* (*)(const char16_t* guid, uint32_t flags);

struct Library {
  std::string name;  // as first asked for
  std::string file;  // the file it was loaded from
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

// Why a library could not be bound, kept per library name for the load error: the file
// looked for and the places searched, or what went wrong with the file that was found.
std::vector<std::pair<std::string, std::string>>& Failures() {
  static std::vector<std::pair<std::string, std::string>> failures;
  return failures;
}

// The caller holds ListMutex().
void NoteFailureLocked(std::string_view libraryName, std::string detail) {
  DebugLogFmt("%s", detail.c_str());
  for (auto& [name, known] : Failures())
    if (EqualNoCase(name, libraryName)) {
      known = std::move(detail);
      return;
    }
  Failures().emplace_back(std::string(libraryName), std::move(detail));
}

void NoteFailure(std::string_view libraryName, std::string detail) {
  std::lock_guard lock(ListMutex());
  NoteFailureLocked(libraryName, std::move(detail));
}

std::string JoinFolders(const std::vector<std::filesystem::path>& folders) {
  std::string text;
  for (const auto& folder : folders) text += (text.empty() ? "" : ", ") + folder.string();
  return text;
}

// Finds the library in the list or loads it from the first of the helper folders that holds
// a loadable file. Null when there is none; the reason is kept for the load error.
void* FindOrLoad(std::string_view libraryName, std::string* loadedFile) {
  const std::string fileName = LibraryFileName(libraryName);
  std::lock_guard lock(ListMutex());
  for (const Library& lib : List())
    if (EqualNoCase(lib.name, libraryName)) {
      *loadedFile = lib.file;
      return lib.handle;
    }
  const std::vector<std::filesystem::path> folders = HelperLibraryFolders();
  std::string problems;
  for (const auto& folder : folders) {
    const std::filesystem::path file = folder / fileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) continue;
    if (const std::string problem = ElfLibraryProblem(file); !problem.empty()) {
      problems += "\r\n" + file.string() + " cannot be loaded: " + problem;
      continue;
    }
    // Always a path with a folder, so the loader never searches on its own.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      problems += "\r\n" + file.string() + " cannot be loaded: " + (why ? why : "unknown error");
      continue;
    }
    List().push_back({std::string(libraryName), file.string(), handle});
    std::erase_if(Failures(), [&](const auto& f) { return EqualNoCase(f.first, libraryName); });
    *loadedFile = file.string();
    return handle;
  }
  NoteFailureLocked(libraryName, problems.empty()
                                     ? fileName + " was not found in: " + JoinFolders(folders) + "."
                                     : fileName + " was found but not loaded (searched: " +
                                           JoinFolders(folders) + ")." + problems);
  return nullptr;
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
  std::string file;
  void* handle = FindOrLoad(libraryName, &file);
  if (!handle) return nullptr;
  auto getInstance = reinterpret_cast<GetInstanceFn>(dlsym(handle, "GetInstance"));
  if (!getInstance) {
    NoteFailure(libraryName, file + " has no GetInstance.");
    return nullptr;
  }
  std::u16string wide = GuidToUtf16(guid);
  // Libraries hand out the interface as its Unknown*, so the accessors can cast down.
  auto* intf = static_cast<Unknown*>(getInstance(wide.c_str(), flags));
  if (!intf) {
    NoteFailure(libraryName, file + " does not offer the interface " + std::string(guid) + ".");
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

std::string LoadFailureDetail(std::string_view displayName) {
  const std::string_view library = displayName.substr(0, displayName.find("::"));
  std::lock_guard lock(ListMutex());
  for (const auto& [name, detail] : Failures())
    if (EqualNoCase(name, library)) return detail;
  return {};
}

void RequireInterface(Unknown* intf, std::string_view displayName) {
  if (intf) return;
  std::string text = LoadErrorMessage(displayName);
  if (std::string detail = LoadFailureDetail(displayName); !detail.empty())
    text += "\r\n\r\n" + detail;
  g_sink.load()("Error", text);
  std::fflush(nullptr);
  // No destructors and no exit handlers: half-bound libraries must not run their clean-up.
  // A failure exit, so scripts and service managers see that the program did not run.
  _exit(kLoadErrorExitCode);
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
