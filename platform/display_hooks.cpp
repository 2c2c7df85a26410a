// Where the display service plugs into the live, recorded and recording service sets. The
// kernel's cards and connectors are files (replayed and recorded by the file reader); the
// session's screens and the graphics interfaces' answers travel in display.json.
#include "platform/devices.h"
#include "platform/display_session.h"
#include "platform/recording/first_answers.h"
#include "platform/recording/snapshot_folder.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

// The session answers a display service gives, seen as a session (for the recorder).
class ServiceSession : public DisplaySession {
 public:
  explicit ServiceSession(std::shared_ptr<const DisplayService> live) : live_(std::move(live)) {}
  Answer<SessionScreens> Screens() const override { return live_->Screens(); }
  GraphicsApis Apis() const override { return live_->Apis(); }

 private:
  std::shared_ptr<const DisplayService> live_;
};

// Keeps what the live session answered first, and gives it again until the recording ends
// (one recording, one moment); writes display.json then.
class RecordingSession : public DisplaySession {
 public:
  explicit RecordingSession(std::shared_ptr<const DisplaySession> live) : live_(std::move(live)) {}

  Answer<SessionScreens> Screens() const override {
    return first_.Once<Answer<SessionScreens>>(
        "screens", [&] { return live_->Screens(); }, [](const auto&) {});
  }
  GraphicsApis Apis() const override {
    return first_.Once<GraphicsApis>(
        "apis", [&] { return live_->Apis(); }, [](const auto&) {});
  }

  bool Finish(const std::filesystem::path& dir, std::string* error) {
    // Whatever was not asked during the recording is asked now, so the snapshot is complete.
    const auto screens = Screens();
    const auto apis = Apis();
    first_.Seal();
    return WriteSnapshotFile(dir / kDisplaySnapshotFile,
                             DumpJson(DisplaySessionToJson(screens, apis)) + "\n", error);
  }

 private:
  std::shared_ptr<const DisplaySession> live_;
  mutable FirstAnswers first_;
};

// A ServiceRecording that only forwards to the session it shares.
class RecordingHandle : public ServiceRecording {
 public:
  explicit RecordingHandle(std::shared_ptr<RecordingSession> s) : s_(std::move(s)) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    return s_->Finish(dir, error);
  }

 private:
  std::shared_ptr<RecordingSession> s_;
};

// The cards of a dump: one card, one connector, the dump's block.
class DumpSession : public DisplaySession {
 public:
  Answer<SessionScreens> Screens() const override {
    return Answer<SessionScreens>::Fail(Status::NotSupported, "desktop session", "not in the dump");
  }
  GraphicsApis Apis() const override {
    GraphicsApis a;
    const auto none =
        Provenance::Failure(Status::NotSupported, "graphics interfaces", "not in the dump");
    a.openGlVersion.source = a.openGlRenderer.source = a.openGlVendor.source = none;
    a.vulkanVersion.source = a.vulkanDevices.source = a.videoProfiles.source = none;
    return a;
  }
};

class DumpDisplayService : public DisplayService {
 public:
  DumpDisplayService(std::string bytes, std::string file) : file_(std::move(file)) {
    GraphicsCard card;
    card.name = "dump";
    card.devicePath = file_;
    card.videoMemory = card.apertureSize =
        Answer<uint64_t>::Fail(Status::NotSupported, file_, "not in the dump");
    card.biosVersion = Answer<std::string>::Fail(Status::NotSupported, file_, "not in the dump");
    card.biosImage = card.biosVersion.source;
    DisplayConnector c;
    c.name = "dump-EDID";
    c.status = "connected";
    c.edid = Answer<std::string>::Of(std::move(bytes), file_);
    card.connectors.push_back(std::move(c));
    cards_.push_back(std::move(card));
  }
  Answer<std::vector<GraphicsCard>> Cards() const override {
    return Answer<std::vector<GraphicsCard>>::Of(cards_, file_);
  }
  Answer<SessionScreens> Screens() const override { return session_.Screens(); }
  GraphicsApis Apis() const override { return session_.Apis(); }
  Answer<int32_t> FramebufferDepth() const override {
    return Answer<int32_t>::Fail(Status::NotSupported, file_, "not in the dump");
  }
  Answer<std::string> PnpNames(const std::vector<std::string>&) const override {
    return Answer<std::string>::Fail(Status::NotSupported, "pnp.ids", "not in the dump");
  }

 private:
  std::string file_;
  std::vector<GraphicsCard> cards_;
  DumpSession session_;
};

}  // namespace

std::shared_ptr<const DisplayService> LoadDisplayDump(const std::string& bytes,
                                                      const std::filesystem::path& file) {
  static constexpr char kHeader[] = "\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00";
  if (bytes.size() < 128 || bytes.size() % 128 != 0 ||
      bytes.compare(0, 8, std::string_view(kHeader, 8)) != 0)
    return nullptr;
  return std::make_shared<DumpDisplayService>(bytes, file.string());
}

void AddLinuxDisplay(Services& services) {
  services.display = MakeSysfsDisplayService(services.files, MakeLiveDisplaySession());
}

void LoadRecordedDisplay(const std::filesystem::path& dir, Services& services,
                         std::vector<std::string>& warnings) {
  const auto file = dir / kDisplaySnapshotFile;
  auto text = ReadSnapshotFile(file, kMaxWholeFileBytes);
  nlohmann::json j = nlohmann::json::object();
  if (text) {
    j = nlohmann::json::parse(*text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) {
      warnings.push_back(file.filename().string() + ": not valid JSON; screens not replayed");
      j = nlohmann::json::object();
    }
  }
  auto session = MakeRecordedDisplaySession(j, file.string());
  // A Windows machine's snapshot: its registry holds the adapter and monitor values.
  if (services.registry && RegistryHasDeviceTree(*services.registry))
    services.display = MakeRegistryDisplayService(services.registry, text ? session : nullptr);
  else
    services.display = MakeSysfsDisplayService(services.files, session);
}

void RecordDisplay(const Services& live, Services& recording, ServiceRecordings& recordings) {
  if (!live.display) return;
  auto session = std::make_shared<RecordingSession>(std::make_shared<ServiceSession>(live.display));
  recording.display = MakeSysfsDisplayService(recording.files, session);
  recordings.push_back(std::make_unique<RecordingHandle>(session));
}

}  // namespace tavrin::platform
