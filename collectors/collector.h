// The base of every collector: one area of the machine (processor, memory, drives ...), refreshed
// from the platform services and read by the page fillers.
#pragma once

#include <memory>
#include <string>

#include "platform/services.h"

namespace tavrin::collectors {

class TVexa_VSIC_Component {
 public:
  /// `className` is the collector's class name ("TVexa_CPU"): gathering and logging use it.
  /// `name` is its component name in the aggregate ("CPU"). A constructor only stores what it
  /// is given; reading the machine waits for RefreshData, so building one never blocks.
  TVexa_VSIC_Component(std::string className, std::string name,
                       std::shared_ptr<const platform::Services> services);
  virtual ~TVexa_VSIC_Component();
  TVexa_VSIC_Component(const TVexa_VSIC_Component&) = delete;
  TVexa_VSIC_Component& operator=(const TVexa_VSIC_Component&) = delete;

  /// Gathers the collector's data. Overrides call the base first; a failed query leaves its
  /// values empty and never stops the refresh.
  virtual void RefreshData();

  const std::string& ClassName() const { return class_name_; }
  const std::string& Name() const { return name_; }

  /// True when the data describes the machine this program runs on; false for a replayed
  /// snapshot (the live-only features key on it).
  bool LiveData() const { return live_data_; }
  /// The services the collector reads; the live monitor samples the same source through them.
  const std::shared_ptr<const platform::Services>& SharedServices() const { return services_; }

  /// Identification of the collector library, set at construction; shown nowhere.
  const std::string _About;
  /// A design-time hint kept for compatibility of the published properties.
  const std::string _Refresh;

  /// The operating system version record as of the last refresh.
  const platform::OsVersion& OsVersionSnapshot() const { return os_version_; }
  /// Account the program runs as, as of the last refresh (empty before the first).
  const std::string& UserName() const { return user_name_; }
  const std::string& UserSid() const { return user_sid_; }

 protected:
  const platform::Services& Platform() const { return *services_; }
  const std::shared_ptr<const platform::Services>& SharedPlatform() const { return services_; }

 private:
  std::string class_name_;
  std::string name_;
  std::shared_ptr<const platform::Services> services_;
  bool live_data_;
  platform::OsVersion os_version_;
  std::string user_name_;
  std::string user_sid_;
};

}  // namespace tavrin::collectors
