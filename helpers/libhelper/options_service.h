// The Options interface: named text options of one settings key, with defaults. On Linux
// the key lives in the user's settings file (platform/linux/settings_file.h).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpers/libcommon/service_object.h"

namespace tavrin::helpers {

class OptionsService final : public ServiceObject<IOptions> {
 public:
  OptionsService() : ServiceObject(guid::kOptions) {}

  bool OpenKey(RootKey root, std::string_view path) override;
  bool LoadOptions() override;
  bool SaveOptions() override;
  void RegisterDefault(std::string_view name, std::string_view defaultText) override;
  std::string ReadString(std::string_view name) override;
  void WriteString(std::string_view name, std::string_view text) override;

 private:
  struct Option {
    std::string name;
    std::string defaultText;
    std::optional<std::string> stored;   // what the settings file holds
    std::optional<std::string> written;  // set during this run
  };
  Option* Find(std::string_view name);
  static const std::string& Current(const Option& option);

  std::mutex mutex_;
  RootKey root_ = RootKey::CurrentUser;
  std::string path_;
  bool opened_ = false;
  bool changed_ = false;
  std::vector<Option> options_;
};

}  // namespace tavrin::helpers
