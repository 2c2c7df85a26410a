// The Globals interface: names, version, links and folders of the product.
#pragma once

#include <string>

#include "helpers/libcommon/service_object.h"

namespace tavrin::helpers {

class GlobalsService final : public ServiceObject<IGlobals> {
 public:
  GlobalsService() : ServiceObject(guid::kGlobals) {}

  std::string GetCompanyName() override;
  std::string GetProductName() override;
  std::string GetProgramVersion() override;
  std::string GetDataFolder() override;
  std::string GetSettingsKeyRoot() override;
  std::string GetProgramPageLink() override;
  std::string GetCompanyPageLink() override;
  std::string GetSupportPageLink() override;
  std::string GetCurrentUserName() override;
};

}  // namespace tavrin::helpers
