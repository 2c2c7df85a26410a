// libRepLibrary.so ("RepLibrary.dll"): the ReportGenerator service and the reports it makes.
#include <dlfcn.h>
#include <libxml/parser.h>
#include <libxslt/transform.h>

#include <mutex>

#include "helpers/common/guid.h"
#include "helpers/libcommon/entry.h"
#include "helpers/libcommon/service_object.h"
#include "helpers/librepgen/report_object.h"

namespace tavrin::helpers {
namespace {

class ReportGeneratorService final : public ServiceObject<IReportGenerator> {
 public:
  ReportGeneratorService() : ServiceObject(guid::kReportGenerator) {}

  IReport* CreateReport(std::string_view baseFileName) override {
    return new ReportObject(std::string(baseFileName));
  }
};

ReportGeneratorService g_generator;

// libxml2 and libxslt keep process-wide state that they set up once and never give back.
// When the program unloads this library they would be unloaded with it and that state lost
// (a leak, and a second load would set it up afresh). Pinning them keeps them loaded for the
// life of the process, as a program linked against them directly would have them.
void PinLibraryOf(void* symbol) {
  Dl_info info{};
  if (dladdr(symbol, &info) && info.dli_fname)
    dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

void InitializeXmlOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    PinLibraryOf(reinterpret_cast<void*>(&xmlInitParser));
    PinLibraryOf(reinterpret_cast<void*>(&xsltApplyStylesheet));
    // libxml2 sets itself up on first use too, but not safely from two threads at once.
    xmlInitParser();
  });
}

}  // namespace
}  // namespace tavrin::helpers

void* GetInstance(const char16_t* guid, uint32_t /*flags*/) {
  using namespace tavrin::helpers;
  if (!SameGuid(GuidFromUtf16(guid), g_generator.Guid())) return nullptr;
  InitializeXmlOnce();
  return g_generator.NewReference();
}
