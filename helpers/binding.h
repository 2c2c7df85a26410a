// Run-time binding of the helper libraries: the list of loaded libraries, the per-interface
// caches and the fatal load error.
//
// A library is named as on Windows ("helper.dll") and found as a shared object
// ("libhelper.so") in the program's folder or in the installed helper folder
// (HelperLibraryFolders()). Each library is loaded at most once, and each interface
// is asked for at most once per process: a failed attempt is remembered.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "helpers/interfaces.h"

namespace tavrin::helpers {

/// One process-wide reference per interface: not yet asked, failed, or bound.
class InterfaceCache {
 public:
  enum class State { NotAsked, Failed, Bound };

  State state() const;
  /// The bound interface, or null.
  Unknown* get() const;

 private:
  friend Unknown* GetInterface(InterfaceCache&, std::string_view, std::string_view, uint32_t);
  friend void ReleaseInterface(InterfaceCache&);
  // 0 = not asked, kFailed = failed, anything else the bound Unknown*. One atomic word lets
  // the gathering thread read a cache while the main thread binds another.
  static constexpr uintptr_t kFailed = 1;
  std::atomic<uintptr_t> word_{0};
};

/// The shared-object file of a library name: "helper.dll" -> "libhelper.so".
std::string LibraryFileName(std::string_view libraryName);

/// Returns the bound interface, binding it on the first call; null when the library, its
/// "GetInstance" or the interface is missing (and on every later call after that).
Unknown* GetInterface(InterfaceCache& cache, std::string_view libraryName, std::string_view guid,
                      uint32_t flags);

/// The load error text for a display name such as "helper.dll::Helper" (CRLF line ends).
std::string LoadErrorMessage(std::string_view displayName);

/// Shows a fatal message. The default writes "Error: " and the text with "\n" line ends to
/// standard error; the user interface installs one that shows a message box.
using MessageSink = void (*)(std::string_view caption, std::string_view text);
/// Installs `sink` (null restores the default) and returns the previous one.
MessageSink SetMessageSink(MessageSink sink);

/// Exit code of a program that could not bind a helper library.
inline constexpr int kLoadErrorExitCode = 1;

/// What went wrong when the library of `displayName` ("helper.dll::Helper") was bound: the
/// file looked for and the folders searched, or why the file found was not usable. Empty
/// when nothing failed for that library.
std::string LoadFailureDetail(std::string_view displayName);

/// When `intf` is null: shows the load error for `displayName`, followed by the failure
/// detail, and ends the process with kLoadErrorExitCode. Returns only when `intf` is bound.
void RequireInterface(Unknown* intf, std::string_view displayName);

/// Drops the cache's reference; the cache is "not yet asked" again.
void ReleaseInterface(InterfaceCache& cache);

/// Names of the loaded libraries, in load order, as first asked for.
std::vector<std::string> LoadedLibraries();

/// Unloads every library, last loaded first. Every interface must be released before.
void UnloadLibraries();

}  // namespace tavrin::helpers
