#include "pages/language_text.h"

#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {

std::string LanguageText(const collectors::TVexa_OperatingSystem& os) {
  std::string language = os.LocaleInfo().FullLocalizeLanguage;
  const std::string& id = os.LanguageID;
  if (language.empty() && id.empty()) return {};
  // The portable locale names no language of its own.
  const bool portable = id == "C" || id == "POSIX" || id.rfind("C.", 0) == 0;
  if (language.empty() && portable) {
    language = lbl::S_LANGUAGE_POSIX_DEFAULT;
    if (id == "C" || id == "POSIX") return language;
  }
  // A locale this machine cannot describe is named by its identifier alone.
  if (language.empty()) return id;
  if (id.empty()) return language;
  return FormatText("%s (ID: %s)", {language, id});
}

}  // namespace tavrin::pages
