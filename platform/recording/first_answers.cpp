#include "platform/recording/first_answers.h"

#include "platform/recording/snapshot_folder.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {

bool RecordedJson::Finish(const std::filesystem::path& file, bool skip_empty, std::string* error) {
  answers_.Seal();
  std::string text;
  {
    std::lock_guard lock(answers_.mutex());
    if (document_.empty() && skip_empty) {
      // An earlier snapshot's file must not pass for this recording's.
      std::error_code ec;
      std::filesystem::remove(file, ec);
      return true;
    }
    text = DumpJson(document_);
  }
  return WriteSnapshotFile(file, text, error);
}

namespace {

class JsonRecording : public ServiceRecording {
 public:
  JsonRecording(std::shared_ptr<RecordedJson> answers, std::filesystem::path file, bool skip_empty)
      : answers_(std::move(answers)), file_(std::move(file)), skip_empty_(skip_empty) {}
  bool Finish(const std::filesystem::path& dir, std::string* error) override {
    return answers_->Finish(dir / file_, skip_empty_, error);
  }

 private:
  std::shared_ptr<RecordedJson> answers_;
  std::filesystem::path file_;
  bool skip_empty_;
};

}  // namespace

std::unique_ptr<ServiceRecording> WriteAtFinish(std::shared_ptr<RecordedJson> answers,
                                                std::filesystem::path file, bool skip_empty) {
  return std::make_unique<JsonRecording>(std::move(answers), std::move(file), skip_empty);
}

}  // namespace tavrin::platform
