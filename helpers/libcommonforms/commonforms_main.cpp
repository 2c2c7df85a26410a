// libcommonforms.so ("commonforms.dll"): the About and progress windows.
#include "helpers/common/guid.h"
#include "helpers/libcommon/entry.h"
#include "helpers/libcommonforms/about_service.h"
#include "helpers/libcommonforms/progress_service.h"

namespace {

tavrin::helpers::AboutService g_about;
tavrin::helpers::ProgressService g_progress;

}  // namespace

void* GetInstance(const char16_t* guid, uint32_t /*flags*/) {
  const std::string asked = tavrin::helpers::GuidFromUtf16(guid);
  using tavrin::helpers::SameGuid;
  if (SameGuid(asked, g_about.Guid())) return g_about.NewReference();
  if (SameGuid(asked, g_progress.Guid())) return g_progress.NewReference();
  return nullptr;
}
