#include "helpers/accessors.h"

#include <array>
#include <cstdlib>

namespace tavrin::helpers {
namespace {

constexpr std::array<const InterfaceInfo*, 8> kAll = {
    &iface::kHelper,        &iface::kOptions,   &iface::kGlobals,  &iface::kAbout,
    &iface::kVistaProgress, &iface::kLocalizer, &iface::kSettings, &iface::kReportGenerator};

std::array<InterfaceCache, kAll.size()>& Caches() {
  static std::array<InterfaceCache, kAll.size()> caches;
  return caches;
}

template <class T>
T& Bind(const InterfaceInfo& info) {
  Unknown* intf = GetInterface(CacheOf(info), info.library, info.guid, 0);
  RequireInterface(intf, info.DisplayName());
  return *static_cast<T*>(intf);
}

}  // namespace

std::string InterfaceInfo::DisplayName() const {
  return std::string(library) + "::" + std::string(name);
}

InterfaceCache& CacheOf(const InterfaceInfo& info) {
  for (std::size_t i = 0; i < kAll.size(); ++i)
    if (kAll[i]->guid == info.guid) return Caches()[i];
  std::abort();  // only the interfaces of iface:: have caches
}

IHelper& Helper() {
  return Bind<IHelper>(iface::kHelper);
}
IOptions& Options() {
  return Bind<IOptions>(iface::kOptions);
}
IGlobals& Globals() {
  return Bind<IGlobals>(iface::kGlobals);
}
IAbout& About() {
  return Bind<IAbout>(iface::kAbout);
}
IVistaProgress& VistaProgress() {
  return Bind<IVistaProgress>(iface::kVistaProgress);
}
ILocalizer& Localizer() {
  return Bind<ILocalizer>(iface::kLocalizer);
}
ISettings& Settings() {
  return Bind<ISettings>(iface::kSettings);
}
IReportGenerator& ReportGenerator() {
  return Bind<IReportGenerator>(iface::kReportGenerator);
}

void ReleaseInterfaces() {
  for (InterfaceCache& cache : Caches()) ReleaseInterface(cache);
}

}  // namespace tavrin::helpers
