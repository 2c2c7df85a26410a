// JSON forms of answers, shared by the recorder and the replayer of snapshots.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/provenance.h"
#include "platform/system_facts.h"

namespace tavrin::platform {

nlohmann::json ProvenanceToJson(const Provenance& p);
/// Nullopt when the object is not a provenance record.
std::optional<Provenance> ProvenanceFromJson(const nlohmann::json& j);

nlohmann::json OsVersionToJson(const OsVersion& v);
std::optional<OsVersion> OsVersionFromJson(const nlohmann::json& j);

/// {"value": ..., "source": "...", "status": "ok"} or {"status": "...", "source", "detail"}.
template <class T, class ToJson>
nlohmann::json AnswerToJson(const Answer<T>& a, ToJson toJson) {
  nlohmann::json j = ProvenanceToJson(a.source);
  if (a.value) j["value"] = toJson(*a.value);
  return j;
}

/// Dumps without throwing on invalid UTF-8 (it is replaced), for text that came from a machine.
std::string DumpJson(const nlohmann::json& j);

}  // namespace tavrin::platform
