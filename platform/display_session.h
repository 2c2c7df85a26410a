// The part of the display service that is not a file: the desktop session's screens and the
// graphics interfaces' answers. The live machine probes them through libraries bound at run
// time; a snapshot answers them from its display.json; a recording keeps what the live probes
// answered.
#pragma once

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "platform/display.h"
#include "platform/file_reader.h"

namespace tavrin::platform {

/// The snapshot file of the session answers (docs/snapshot.md).
inline constexpr std::string_view kDisplaySnapshotFile = "display.json";

class DisplaySession {
 public:
  virtual ~DisplaySession() = default;
  virtual Answer<SessionScreens> Screens() const = 0;
  virtual GraphicsApis Apis() const = 0;
  /// Recorded on Windows only (see DisplayService).
  virtual Answer<std::map<int, int32_t>> DeviceCaps() const;
  virtual Answer<std::vector<std::array<int32_t, 3>>> DisplayModes() const;
};

/// The display service of a Linux file tree (the kernel's cards and connectors, the frame
/// buffer, the PNP id list) with the session answers of `session`.
std::shared_ptr<const DisplayService> MakeSysfsDisplayService(
    std::shared_ptr<const FileReader> files, std::shared_ptr<const DisplaySession> session);

/// The session answers of this machine: the X server named by DISPLAY, EGL and Vulkan, each
/// probed once, under a time limit, on first use.
std::shared_ptr<const DisplaySession> MakeLiveDisplaySession();

// The recorded form (display.json): {"screens": answer, "apis": {...}}.
nlohmann::json DisplaySessionToJson(const Answer<SessionScreens>& screens,
                                    const GraphicsApis& apis);
/// Answers from a recorded form; `file` names it in errors (SnapshotFileError on a wrong field).
std::shared_ptr<const DisplaySession> MakeRecordedDisplaySession(const nlohmann::json& j,
                                                                 std::string_view file);

/// The display service of a single dump file holding a monitor's identification block (one or
/// more whole 128-byte blocks starting with the block header): one connector carrying it.
/// Null when `bytes` is not one.
std::shared_ptr<const DisplayService> LoadDisplayDump(const std::string& bytes,
                                                      const std::filesystem::path& file);

}  // namespace tavrin::platform
