// JSON forms of the operating-system answers, shared by the recorder and the replayer of the
// snapshot part "os.json" (docs/snapshot.md).
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "platform/desktop_proxy.h"
#include "platform/os_facts.h"
#include "platform/os_locale.h"
#include "platform/snapshot_json.h"

namespace tavrin::platform {

void to_json(nlohmann::json& j, const KernelNames& v);
void from_json(const nlohmann::json& j, KernelNames& v);
void to_json(nlohmann::json& j, const UserAccount& v);
void from_json(const nlohmann::json& j, UserAccount& v);
/// The zone file's bytes travel as base64 ("tzif").
void to_json(nlohmann::json& j, const ZoneFacts& v);
void from_json(const nlohmann::json& j, ZoneFacts& v);
void to_json(nlohmann::json& j, const NamedText& v);
void from_json(const nlohmann::json& j, NamedText& v);
void to_json(nlohmann::json& j, const LocaleFacts& v);
void from_json(const nlohmann::json& j, LocaleFacts& v);
void to_json(nlohmann::json& j, const GnomeProxySettings& v);
void from_json(const nlohmann::json& j, GnomeProxySettings& v);

std::string Base64Encode(std::string_view bytes);
/// Nullopt for text that is not base64.
std::optional<std::string> Base64Decode(std::string_view text);

template <class T>
nlohmann::json AnswerJson(const Answer<T>& a) {
  return AnswerToJson(a, [](const T& v) { return nlohmann::json(v); });
}

/// Why `value` cannot be an answer of os.json, or empty: the answers hold text and whole
/// numbers only, and a fraction converted to a whole number has no defined result.
std::string OsValueProblem(const nlohmann::json& value);

/// The answer a snapshot entry holds; "not supported" when `entry` is null (not recorded).
/// An entry of the wrong shape or type is a malformed answer naming os.json, the entry and
/// what is wrong; it never throws.
template <class T>
Answer<T> AnswerFromJson(const nlohmann::json* entry, std::string_view what) {
  if (entry == nullptr)
    return Answer<T>::Fail(Status::NotSupported, std::string(what), "not recorded in the snapshot");
  const std::string where = "os.json entry \"" + std::string(what) + "\"";
  auto p = ProvenanceFromJson(*entry);
  if (!p)
    return Answer<T>::Fail(Status::Malformed, std::string(what),
                           where + ": not an answer with a known \"status\"");
  if (!p->ok()) return {std::nullopt, *p};
  const auto value = entry->find("value");
  if (value == entry->end())
    return Answer<T>::Fail(Status::Malformed, std::string(what), where + ": no \"value\"");
  if (std::string problem = OsValueProblem(*value); !problem.empty())
    return Answer<T>::Fail(Status::Malformed, std::string(what), where + ": " + problem);
  try {
    return {value->get<T>(), *p};
  } catch (const nlohmann::json::exception& e) {
    return Answer<T>::Fail(Status::Malformed, std::string(what), where + ": " + e.what());
  }
}

}  // namespace tavrin::platform
