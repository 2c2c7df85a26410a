// libhelper.so ("helper.dll"): the Helper, Options and Globals services.
#include "helpers/common/guid.h"
#include "helpers/libcommon/entry.h"
#include "helpers/libhelper/globals_service.h"
#include "helpers/libhelper/helper_service.h"
#include "helpers/libhelper/options_service.h"

namespace {

// One object per service for the life of the library.
tavrin::helpers::HelperService g_helper;
tavrin::helpers::OptionsService g_options;
tavrin::helpers::GlobalsService g_globals;

}  // namespace

void* GetInstance(const char16_t* guid, uint32_t /*flags*/) {
  const std::string asked = tavrin::helpers::GuidFromUtf16(guid);
  using tavrin::helpers::SameGuid;
  if (SameGuid(asked, g_helper.Guid())) return g_helper.NewReference();
  if (SameGuid(asked, g_options.Guid())) return g_options.NewReference();
  if (SameGuid(asked, g_globals.Guid())) return g_globals.NewReference();
  return nullptr;
}
