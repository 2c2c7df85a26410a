// libsettings.so ("settings.dll"): the settings window.
#include "helpers/common/guid.h"
#include "helpers/libcommon/entry.h"
#include "helpers/libsettings/settings_service.h"

namespace {

tavrin::helpers::SettingsService g_settings;

}  // namespace

void* GetInstance(const char16_t* guid, uint32_t /*flags*/) {
  const std::string asked = tavrin::helpers::GuidFromUtf16(guid);
  if (tavrin::helpers::SameGuid(asked, g_settings.Guid())) return g_settings.NewReference();
  return nullptr;
}
