// The About window of libcommonforms.so.
#pragma once

#include "helpers/interfaces.h"
#include "helpers/libcommon/service_object.h"

namespace tavrin::helpers {

class AboutService final : public ServiceObject<IAbout> {
 public:
  AboutService() : ServiceObject(guid::kAbout) {}
  void ShowAbout(int32_t reserved1, int32_t reserved2, std::string_view imageName) override;
};

}  // namespace tavrin::helpers
