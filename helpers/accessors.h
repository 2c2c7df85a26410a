// One accessor per helper interface. Every use of a helper interface goes through these:
// the first call binds the interface, and a library that cannot be bound ends the program
// with the load error (helpers/binding.h).
#pragma once

#include <string>
#include <string_view>

#include "helpers/binding.h"
#include "helpers/interfaces.h"

namespace tavrin::helpers {

/// Where an interface comes from and what the load error calls it.
struct InterfaceInfo {
  std::string_view library;  ///< "helper.dll"
  std::string_view name;     ///< "Helper"
  std::string_view guid;

  /// "helper.dll::Helper"
  std::string DisplayName() const;
};

namespace iface {
inline constexpr InterfaceInfo kHelper{"helper.dll", "Helper", guid::kHelper};
inline constexpr InterfaceInfo kOptions{"helper.dll", "Options", guid::kOptions};
inline constexpr InterfaceInfo kGlobals{"helper.dll", "Globals", guid::kGlobals};
inline constexpr InterfaceInfo kAbout{"commonforms.dll", "About", guid::kAbout};
inline constexpr InterfaceInfo kVistaProgress{"commonforms.dll", "VistaProgress",
                                              guid::kVistaProgress};
inline constexpr InterfaceInfo kLocalizer{"Localizer.dll", "Localizer", guid::kLocalizer};
inline constexpr InterfaceInfo kSettings{"settings.dll", "Settings", guid::kSettings};
inline constexpr InterfaceInfo kReportGenerator{"RepLibrary.dll", "ReportGenerator",
                                                guid::kReportGenerator};
}  // namespace iface

IHelper& Helper();
IOptions& Options();
IGlobals& Globals();
IAbout& About();
IVistaProgress& VistaProgress();
ILocalizer& Localizer();
ISettings& Settings();
IReportGenerator& ReportGenerator();

/// The cache behind an accessor (one of iface::), to ask whether it is bound without
/// binding it.
InterfaceCache& CacheOf(const InterfaceInfo& info);

/// Releases every bound interface; each accessor binds afresh afterwards.
void ReleaseInterfaces();

}  // namespace tavrin::helpers
