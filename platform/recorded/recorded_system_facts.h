// System facts as a snapshot recorded them (system.json).
#pragma once

#include <nlohmann/json.hpp>

#include "platform/system_facts.h"

namespace tavrin::platform {

class RecordedSystemFacts : public SystemFacts {
 public:
  explicit RecordedSystemFacts(nlohmann::json facts);

  Answer<std::string> UserName() const override;
  Answer<std::string> UserId() const override;
  Answer<std::string> ComputerName() const override;
  Answer<std::string> ProgramPath() const override;
  Answer<OsVersion> OsVersionRecord() const override;

 private:
  Answer<std::string> Text(const char* name) const;
  nlohmann::json facts_;
};

}  // namespace tavrin::platform
