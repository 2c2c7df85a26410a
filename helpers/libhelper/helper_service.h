// The Helper interface on Linux: system name, links, folders, sizes.
#pragma once

#include <string>
#include <string_view>

#include "helpers/libcommon/service_object.h"

namespace tavrin::helpers {

class HelperService final : public ServiceObject<IHelper> {
 public:
  HelperService() : ServiceObject(guid::kHelper) {}

  int32_t GetOSCode() override;
  std::string GetOSName() override;
  void OpenLink(std::string_view link) override;
  std::string GetDocumentsFolder() override;
  std::string FormatBytes(uint8_t mode, std::string_view thousandSeparator, uint64_t size,
                          int32_t decimals, int32_t flag, std::string_view suffix) override;
  uint32_t GetArchitectureCode() override;
  uint64_t GetInstalledMemory(uint8_t unit) override;
  uint64_t GetFreeDiskSpace(uint8_t unit) override;
  void CheckForUpdates() override;
};

/// PRETTY_NAME of os-release text, unquoted; empty when absent.
std::string OsReleasePrettyName(std::string_view osRelease);

/// XDG_DOCUMENTS_DIR of user-dirs.dirs text with $HOME replaced by `home`; empty when absent.
std::string UserDirsDocuments(std::string_view userDirs, std::string_view home);

}  // namespace tavrin::helpers
