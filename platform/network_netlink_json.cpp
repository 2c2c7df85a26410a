#include "platform/network_netlink_json.h"

#include <nlohmann/json.hpp>

#include "platform/os_facts_json.h"
#include "platform/recording/first_answers.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {

using Json = nlohmann::json;

namespace {

class RecordedNetlink : public NetlinkSource {
 public:
  RecordedNetlink(Json j, std::string file) : j_(std::move(j)), file_(std::move(file)) {}
  Answer<std::string> Dump(NetlinkDump what) const override {
    const std::string source = std::string("recorded routing-socket ") + NetlinkDumpName(what);
    const auto group = j_.find("netlink");
    if (group == j_.end() || !group->is_object() || !group->contains(NetlinkDumpName(what)))
      return Answer<std::string>::Fail(Status::NotSupported, source, "not in the snapshot");
    const Json& entry = group->at(NetlinkDumpName(what));
    auto provenance = ProvenanceFromJson(entry);
    if (!provenance)
      return Answer<std::string>::Fail(Status::Malformed, file_, "no status of the dump");
    if (!provenance->ok()) return {std::nullopt, *provenance};
    auto bytes = Base64Decode(FieldOr<std::string>(entry, "bytes", "", file_));
    if (!bytes) return Answer<std::string>::Fail(Status::Malformed, file_, "bytes not base64");
    return {std::move(*bytes), *provenance};
  }

 private:
  Json j_;
  std::string file_;
};

class RecordingNetlink : public NetlinkSource {
 public:
  RecordingNetlink(std::shared_ptr<const NetlinkSource> live, std::shared_ptr<RecordedJson> answers)
      : live_(std::move(live)), answers_(std::move(answers)) {}
  Answer<std::string> Dump(NetlinkDump what) const override {
    return answers_->Once<Answer<std::string>>(
        {"netlink", NetlinkDumpName(what)}, [&] { return live_->Dump(what); },
        [](const Answer<std::string>& answer) {
          Json entry = ProvenanceToJson(answer.source);
          if (answer.value) entry["bytes"] = Base64Encode(*answer.value);
          return entry;
        });
  }

 private:
  std::shared_ptr<const NetlinkSource> live_;
  std::shared_ptr<RecordedJson> answers_;
};

}  // namespace

std::shared_ptr<const NetlinkSource> LoadRecordedNetlink(const std::filesystem::path& dir,
                                                         std::vector<std::string>& warnings) {
  const auto file = dir / kNetworkSnapshotFile;
  auto text = ReadSnapshotFile(file, 16u << 20);
  if (!text) return nullptr;
  auto j = Json::parse(*text, nullptr, false);
  if (j.is_discarded() || !j.is_object()) {
    warnings.push_back(file.string() + ": not valid JSON; the routing-socket answers are left out");
    j = Json::object();
  }
  return std::make_shared<RecordedNetlink>(std::move(j), file.string());
}

std::shared_ptr<const NetlinkSource> RecordNetlink(std::shared_ptr<const NetlinkSource> live,
                                                   ServiceRecordings& recordings) {
  auto answers = std::make_shared<RecordedJson>();
  recordings.push_back(WriteAtFinish(answers, kNetworkSnapshotFile, /*skip_empty=*/false));
  return std::make_shared<RecordingNetlink>(std::move(live), std::move(answers));
}

}  // namespace tavrin::platform
