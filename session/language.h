// Which language the label texts are in, and putting them into it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin::session {

/// The language code of a run: `requested` (--lang, a code such as "DEU" or a locale name
/// such as "de_AT.UTF-8") first, then `stored` (the settings' "Language", empty when the
/// user never chose one), then `localeCode` (the user's locale as a code).
std::string ChooseLanguageCode(const std::optional<std::string>& requested, std::string_view stored,
                               std::string_view localeCode);

/// Binds the localizer to `code` and puts every label into that language, starting from the
/// English defaults (a Linux wording in place is taken back first). Nothing happens when the
/// labels are already in `code`. False when no language file serves `code`: the texts are
/// English then.
bool UseLanguage(std::string_view code);

/// The code the labels were last put into; empty before the first UseLanguage.
std::string LanguageInUse();

/// Forgets the language in use (the labels are cleared at the framework's end).
void ForgetLanguage();

}  // namespace tavrin::session
