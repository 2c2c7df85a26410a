#include "platform/recorded/recorded_system_facts.h"

#include "platform/snapshot_json.h"

namespace tavrin::platform {
namespace {

// The recorded provenance of one fact, or "not recorded" when the snapshot lacks it.
template <class T>
Answer<T> Recorded(const nlohmann::json& facts, const char* name,
                   const std::function<std::optional<T>(const nlohmann::json&)>& decode) {
  if (!facts.is_object() || !facts.contains(name)) {
    return Answer<T>::Fail(Status::NotSupported, name, "not recorded in the snapshot");
  }
  const nlohmann::json& entry = facts[name];
  auto provenance = ProvenanceFromJson(entry);
  if (!provenance) return Answer<T>::Fail(Status::Malformed, name, "bad snapshot entry");
  if (!provenance->ok()) return {std::nullopt, *provenance};
  std::optional<T> value;
  if (entry.contains("value")) value = decode(entry["value"]);
  if (!value) return Answer<T>::Fail(Status::Malformed, name, "bad snapshot value");
  return {std::move(value), *provenance};
}

}  // namespace

RecordedSystemFacts::RecordedSystemFacts(nlohmann::json facts) : facts_(std::move(facts)) {}

Answer<std::string> RecordedSystemFacts::Text(const char* name) const {
  return Recorded<std::string>(facts_, name, [](const nlohmann::json& j) {
    return j.is_string() ? std::optional<std::string>(j.get<std::string>()) : std::nullopt;
  });
}

Answer<std::string> RecordedSystemFacts::UserName() const {
  return Text("UserName");
}
Answer<std::string> RecordedSystemFacts::UserId() const {
  return Text("UserId");
}
Answer<std::string> RecordedSystemFacts::ComputerName() const {
  return Text("ComputerName");
}
Answer<std::string> RecordedSystemFacts::ProgramPath() const {
  return Text("ProgramPath");
}
Answer<OsVersion> RecordedSystemFacts::OsVersionRecord() const {
  return Recorded<OsVersion>(facts_, "OsVersionRecord", OsVersionFromJson);
}

}  // namespace tavrin::platform
