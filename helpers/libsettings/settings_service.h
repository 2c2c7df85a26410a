// The settings window of libsettings.so: the language of the program.
#pragma once

#include "helpers/interfaces.h"
#include "helpers/libcommon/service_object.h"

namespace tavrin::helpers {

class SettingsService final : public ServiceObject<ISettings> {
 public:
  SettingsService() : ServiceObject(guid::kSettings) {}
  void Attach(ILocalizer* localizer, IOptions* options) override;
  void ShowSettings(void* owner, ApplyCallback apply) override;

 private:
  ILocalizer* localizer_ = nullptr;
  IOptions* options_ = nullptr;
};

}  // namespace tavrin::helpers
