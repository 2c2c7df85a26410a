#include "session/language.h"

#include <mutex>

#include "helpers/accessors.h"
#include "helpers/locale_code.h"
#include "helpers/program_path.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::session {
namespace {

std::mutex mutex;
std::string in_use;
bool in_use_found = false;

bool IsLanguageCode(std::string_view text) {
  if (text.size() != 3) return false;
  for (char c : text)
    if (!std::isalpha(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string ChooseLanguageCode(const std::optional<std::string>& requested, std::string_view stored,
                               std::string_view localeCode) {
  if (requested && !requested->empty()) {
    // Three letters are a code as the language files list them; anything else a locale.
    if (IsLanguageCode(*requested)) return Upper(*requested);
    return helpers::LanguageCodeForLocale(*requested);
  }
  if (!stored.empty()) return Upper(stored);
  return std::string(localeCode);
}

bool UseLanguage(std::string_view code) {
  std::lock_guard lock(mutex);
  if (!in_use.empty() && in_use == code) return in_use_found;
  helpers::ILocalizer& localizer = helpers::Localizer();
  const bool found =
      localizer.InitLocalizer(helpers::LanguageFolder().string(), helpers::ProgramFileName(), code);
  // The wording keeps the texts it replaced; it has to give them back before they change.
  const bool linux_wording = text::PlatformWordingActive();
  text::ApplyPlatformWording(false);
  labels::ResetToDefaults();
  labels::Localize(
      [&localizer](std::string_view key, std::string& text) { localizer.TranslateVar(key, text); });
  if (linux_wording) text::ApplyPlatformWording(true);
  in_use = std::string(code);
  in_use_found = found;
  return found;
}

std::string LanguageInUse() {
  std::lock_guard lock(mutex);
  return in_use;
}

void ForgetLanguage() {
  std::lock_guard lock(mutex);
  in_use.clear();
  in_use_found = false;
}

}  // namespace tavrin::session
