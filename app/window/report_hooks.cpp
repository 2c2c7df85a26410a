#include "app/window/report_hooks.h"

namespace tavrin::window {
namespace {

ReportHooks& Hooks() {
  static ReportHooks hooks;
  return hooks;
}

}  // namespace

void SetReportHooks(ReportHooks hooks) {
  Hooks() = std::move(hooks);
}

const ReportHooks& GetReportHooks() {
  return Hooks();
}

}  // namespace tavrin::window
