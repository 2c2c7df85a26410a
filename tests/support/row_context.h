// A fill context for tests that add rows by hand: an aggregate with no collectors and the mode
// of a controller, so AddItem's rules can be tried without a gathering.
#pragma once

#include <memory>

#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/fill_context.h"
#include "tests/support/test_services.h"

namespace tavrin::testing {

class RowContext {
 public:
  explicit RowContext(bool advanced = false) : ctx_{*info_, advanced, summary_} {}
  RowContext(const RowContext&) = delete;
  RowContext& operator=(const RowContext&) = delete;
  operator const pages::FillContext&() const { return ctx_; }

 private:
  static std::shared_ptr<const platform::Services> NoServices() {
    auto services = std::make_shared<platform::Services>();
    services->system = std::make_shared<FixedSystemFacts>();
    return services;
  }
  std::shared_ptr<collectors::TVexa_SystemInfo> info_ =
      std::make_shared<collectors::TVexa_SystemInfo>(
          NoServices(), std::vector<collectors::TVexa_SystemInfo::Factory>{});
  pages::PageSummary summary_;
  pages::FillContext ctx_;
};

/// Rows added as `controller` would add them (its mode), outside any filler.
inline RowContext RowsOf(const gather::TGetFunctionsClass& controller) {
  return RowContext(controller.AdvancedMode());
}

}  // namespace tavrin::testing
