// The Localizer interface: chooses a language file by code and answers label texts,
// falling back to the built-in English texts.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "helpers/libcommon/service_object.h"
#include "helpers/liblocalizer/language_file.h"

namespace tavrin::helpers {

class LocalizerService final : public ServiceObject<ILocalizer> {
 public:
  LocalizerService() : ServiceObject(guid::kLocalizer) {}

  bool InitLocalizer(std::string_view languageFolder, std::string_view programFileName,
                     std::string_view languageCode) override;
  void TranslateForm(void* form) override;
  std::vector<std::string> GetSectionTexts(std::string_view section) override;
  std::string GetText(std::string_view key) override;
  void TranslateVar(std::string_view key, std::string& text) override;
  std::string GetLanguage() override;
  std::vector<LanguageInfo> ListLanguages() override;

 private:
  void Adopt(LanguageFile file, std::string code);

  std::mutex mutex_;
  std::filesystem::path folder_;
  std::string code_ = "ENU";
  std::optional<LanguageFile> language_;
  std::unordered_map<std::string, std::string> labels_;  // upper-case key -> text
};

}  // namespace tavrin::helpers
