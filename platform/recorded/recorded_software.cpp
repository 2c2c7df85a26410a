// The software probes of a snapshot: the answers its software.json holds. Nothing is run and
// no time is read on the replaying machine.
#include <nlohmann/json.hpp>

#include "platform/os_facts_json.h"
#include "platform/recorded/recorded_software.h"
#include "platform/software_json.h"
#include "platform/software_probes.h"

namespace tavrin::platform {
namespace {

using Json = nlohmann::json;

class RecordedSoftwareProbes : public SoftwareProbes {
 public:
  explicit RecordedSoftwareProbes(Json j) : j_(std::move(j)) {}

  Answer<std::map<std::string, int64_t>> ModifiedTimes(const std::string& dir,
                                                       const std::string& suffix) const override {
    const std::string key = ModifiedTimesKey(dir, suffix);
    return AnswerFromJson<std::map<std::string, int64_t>>(Entry("times", key), "stat " + dir);
  }
  Answer<std::vector<RpmPackage>> RpmPackages() const override {
    auto it = j_.find("rpm");
    return AnswerFromJson<std::vector<RpmPackage>>(it == j_.end() ? nullptr : &*it, "librpm");
  }
  Answer<std::string> RunVersion(const std::string& id, const std::string& program,
                                 const std::vector<std::string>&) const override {
    return AnswerFromJson<std::string>(Entry("runs", id), "running " + program);
  }

 private:
  const Json* Entry(const char* group, const std::string& key) const {
    auto g = j_.find(group);
    if (g == j_.end() || !g->is_object()) return nullptr;
    auto it = g->find(key);
    return it == g->end() ? nullptr : &*it;
  }
  Json j_;
};

}  // namespace

std::shared_ptr<const SoftwareProbes> MakeRecordedSoftwareProbes(nlohmann::json j) {
  return std::make_shared<RecordedSoftwareProbes>(std::move(j));
}

}  // namespace tavrin::platform
