// One recording is one moment of the machine. A question asked again while a recording runs
// (the memory summary read by two collectors, the process list counted on two pages) gets the
// answer it got first, so the run that records shows exactly what its snapshot replays. Once
// the recording is sealed, questions go to the live machine again and nothing more is kept:
// a window that recorded its first gathering goes on monitoring.
#pragma once

#include <any>
#include <filesystem>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/service_hooks.h"

namespace tavrin::platform {

class FirstAnswers {
 public:
  /// The first answer to `key`: `ask()` the first time, the kept copy after. `keep(answer)`
  /// runs once per key, under this object's lock, to write the answer down. Two threads that
  /// ask at once may both ask; the first to come back is the one kept and given to both.
  template <class A, class Ask, class Keep>
  A Once(const std::string& key, Ask&& ask, Keep&& keep) {
    {
      std::lock_guard lock(mutex_);
      if (!sealed_)
        if (auto it = first_.find(key); it != first_.end())
          return std::any_cast<const A&>(it->second);
    }
    A answer = ask();
    std::lock_guard lock(mutex_);
    if (sealed_) return answer;
    auto [it, inserted] = first_.try_emplace(key, answer);
    if (!inserted) return std::any_cast<const A&>(it->second);
    keep(answer);
    return answer;
  }

  /// Ends the moment: forgets the kept answers; later questions go live and are not kept.
  void Seal() {
    std::lock_guard lock(mutex_);
    sealed_ = true;
    first_.clear();
  }

  /// For writing down what was kept: the lock `keep` runs under.
  std::mutex& mutex() const { return mutex_; }

 private:
  mutable std::mutex mutex_;
  bool sealed_ = false;
  std::map<std::string, std::any> first_;
};

/// First answers written down as one JSON document, `where` naming the nested place of each
/// (["stats", "/home"] is document["stats"]["/home"]).
class RecordedJson {
 public:
  template <class A, class Ask, class ToJson>
  A Once(const std::vector<std::string>& where, Ask&& ask, ToJson&& to_json) {
    std::string key;
    for (const auto& part : where) key.append(part).push_back('\0');
    return answers_.Once<A>(key, std::forward<Ask>(ask),
                            [&](const A& answer) { At(where) = to_json(answer); });
  }

  /// Seals the answers and writes the document to `file` (nothing when it is empty and
  /// `skip_empty`). False with `error` set when it cannot be written.
  bool Finish(const std::filesystem::path& file, bool skip_empty, std::string* error);

 private:
  nlohmann::json& At(const std::vector<std::string>& where) {
    nlohmann::json* j = &document_;
    for (const auto& part : where) j = &(*j)[part];
    return *j;
  }

  FirstAnswers answers_;
  nlohmann::json document_ = nlohmann::json::object();
};

/// What writes `answers` to `file` (relative to the snapshot folder) when the recording ends.
std::unique_ptr<ServiceRecording> WriteAtFinish(std::shared_ptr<RecordedJson> answers,
                                                std::filesystem::path file, bool skip_empty);

}  // namespace tavrin::platform
