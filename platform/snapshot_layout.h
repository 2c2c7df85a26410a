// Names of the files of a snapshot directory, shared by the recorder and the replayer.
// docs/snapshot.md describes the format for people.
#pragma once

#include <string_view>

namespace tavrin::platform::snapshot {

inline constexpr std::string_view kFormat = "tavrin-snapshot";
inline constexpr int kVersion = 1;

inline constexpr std::string_view kManifest = "snapshot.json";  ///< format, version, origin
inline constexpr std::string_view kRegistryDir = "registry";     ///< *.reg, read in name order
inline constexpr std::string_view kRegistryFile = "recorded.reg";
inline constexpr std::string_view kFilesDir = "files";           ///< copied files at their paths
inline constexpr std::string_view kFilesIndex = "files.json";    ///< listings, links, failures
inline constexpr std::string_view kSystemFacts = "system.json";  ///< answers of SystemFacts
inline constexpr std::string_view kOsFacts = "os.json";  ///< OS facts, environment, locales
inline constexpr std::string_view kStorage = "storage.json";  ///< statvfs and device answers
inline constexpr std::string_view kControls = "controls.json";  ///< a Windows machine's device controls

}  // namespace tavrin::platform::snapshot
