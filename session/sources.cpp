#include "session/sources.h"

#include <stdexcept>

#include "platform/linux/live_services.h"
#include "platform/recorded/snapshot.h"
#include "platform/recording/recorder.h"

namespace tavrin::session {

Sources::Sources() = default;
Sources::~Sources() = default;
Sources::Sources(Sources&&) noexcept = default;
Sources& Sources::operator=(Sources&&) noexcept = default;

bool Sources::FinishRecording(std::string* error) {
  if (!recorder_) return true;
  return recorder_->Finish(error);
}

Sources OpenSources(const StartOptions& options) {
  Sources sources;
  if (options.replay) {
    platform::SnapshotOpen opened = platform::OpenSnapshot(*options.replay);
    sources.warnings_ = std::move(opened.warnings);
    if (!opened.services) {
      sources.error_ = "cannot replay " + opened.error;
      return sources;
    }
    sources.snapshot_ = *options.replay;
    sources.services_ = std::make_shared<const platform::Services>(std::move(*opened.services));
    return sources;
  }
  if (options.record) {
    try {
      sources.recorder_ = std::make_unique<platform::SnapshotRecorder>(
          *options.record, platform::MakeLiveServices());
    } catch (const std::runtime_error& e) {
      sources.error_ = std::string("cannot record: ") + e.what();
      return sources;
    }
    if (sources.recorder_->ReplacesSnapshot())
      sources.warnings_.push_back(*options.record + ": the snapshot there is replaced");
    // The recorder keeps the services alive as long as the session holds it; the copy here
    // shares the recording wrappers with it.
    sources.services_ = std::make_shared<const platform::Services>(sources.recorder_->services());
    return sources;
  }
  sources.services_ = std::make_shared<const platform::Services>(platform::MakeLiveServices());
  return sources;
}

}  // namespace tavrin::session
