// JSON forms of answers, shared by the recorder and the replayer of snapshots.
#pragma once

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

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

/// A snapshot file that is there but cannot be used: unreadable, not a regular file, too large,
/// or holding a field of the wrong type. The message names the file (and the field) and why;
/// the snapshot loader refuses the whole snapshot with it.
class SnapshotFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The bytes of a snapshot file; nullopt when nothing is there. Anything else that keeps it
/// from being read throws SnapshotFileError with the reason.
std::optional<std::string> ReadSnapshotFile(const std::filesystem::path& file, std::size_t limit);

/// `j[name]` when present and of type T (a text, a flag, a number that fits T exactly);
/// `fallback` when absent; SnapshotFileError naming `file` and the field otherwise.
template <class T>
T FieldOr(const nlohmann::json& j, std::string_view name, T fallback, std::string_view file);

/// Dumps without throwing on invalid UTF-8 (it is replaced), for text that came from a machine.
std::string DumpJson(const nlohmann::json& j);

namespace detail {
[[noreturn]] void ThrowWrongField(std::string_view file, std::string_view name,
                                  std::string_view wanted, const nlohmann::json& found);
}  // namespace detail

template <class T>
T FieldOr(const nlohmann::json& j, std::string_view name, T fallback, std::string_view file) {
  if (!j.is_object()) return fallback;
  auto it = j.find(name);
  if (it == j.end()) return fallback;
  if constexpr (std::same_as<T, std::string>) {
    if (it->is_string()) return it->template get<std::string>();
    detail::ThrowWrongField(file, name, "a text", *it);
  } else if constexpr (std::same_as<T, bool>) {
    if (it->is_boolean()) return it->template get<bool>();
    detail::ThrowWrongField(file, name, "true or false", *it);
  } else if constexpr (std::floating_point<T>) {
    if (it->is_number()) return it->template get<T>();
    detail::ThrowWrongField(file, name, "a number", *it);
  } else {
    static_assert(std::integral<T>);
    // Integers only, and only those T holds: 1e10 or 4294967297 are not a 32-bit count.
    if (it->is_number_unsigned()) {
      const auto v = it->template get<uint64_t>();
      if (std::in_range<T>(v)) return static_cast<T>(v);
    } else if (it->is_number_integer()) {
      const auto v = it->template get<int64_t>();
      if (std::in_range<T>(v)) return static_cast<T>(v);
    }
    detail::ThrowWrongField(file, name,
                            "an integer from " + std::to_string(std::numeric_limits<T>::min()) +
                                " to " + std::to_string(std::numeric_limits<T>::max()),
                            *it);
  }
}

}  // namespace tavrin::platform
