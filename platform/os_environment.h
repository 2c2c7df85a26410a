// The process environment, behind an interface so tests can hand a collector any environment
// (huge, non-UTF-8, empty) without touching the test program's own.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

class EnvironmentSource {
 public:
  virtual ~EnvironmentSource() = default;
  /// Every "NAME=value" string, in the order the process holds them (bytes as they are).
  virtual Answer<std::vector<std::string>> Variables() const = 0;
  /// The value of `name`, when set.
  std::optional<std::string> Get(std::string_view name) const;
};

/// A fixed list of "NAME=value" strings.
class FixedEnvironment : public EnvironmentSource {
 public:
  explicit FixedEnvironment(std::vector<std::string> variables)
      : variables_(std::move(variables)) {}
  Answer<std::vector<std::string>> Variables() const override {
    return Answer<std::vector<std::string>>::Of(variables_, "environment");
  }

 private:
  std::vector<std::string> variables_;
};

/// A platform without a process environment to ask: every answer is "not supported".
std::shared_ptr<const EnvironmentSource> UnsupportedEnvironment(std::string why);

inline std::optional<std::string> EnvironmentSource::Get(std::string_view name) const {
  auto all = Variables();
  if (!all) return std::nullopt;
  for (const std::string& line : *all) {
    if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
        line[name.size()] == '=')
      return line.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace tavrin::platform
