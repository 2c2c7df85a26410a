// libLocalizer.so ("Localizer.dll"): the Localizer service.
#include "helpers/common/guid.h"
#include "helpers/libcommon/entry.h"
#include "helpers/liblocalizer/localizer_service.h"

namespace {

tavrin::helpers::LocalizerService g_localizer;

}  // namespace

void* GetInstance(const char16_t* guid, uint32_t /*flags*/) {
  if (tavrin::helpers::SameGuid(tavrin::helpers::GuidFromUtf16(guid), g_localizer.Guid()))
    return g_localizer.NewReference();
  return nullptr;
}
