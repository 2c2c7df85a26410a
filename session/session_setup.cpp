#include "session/session_setup.h"

#include "collectors/system_info.h"
#include "gather/controller.h"
#include "helpers/accessors.h"
#include "helpers/locale_code.h"
#include "session/framework.h"
#include "session/language.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::session {

std::string SessionLanguageCode(const std::optional<std::string>& requested) {
  return ChooseLanguageCode(requested, ChosenLanguage(), helpers::UserLanguageCode());
}

std::vector<std::string> PrepareSession(const StartOptions& options, const Sources& sources,
                                        gather::TGetFunctionsClass& controller) {
  std::vector<std::string> notes;
  const std::string code = SessionLanguageCode(options.language);
  if (!UseLanguage(code) && options.language)
    notes.push_back("no language file for " + code + "; the texts stay English");
  if (sources.services()) {
    // Pages about a Linux machine say what the values are there, not what Windows calls them.
    text::ApplyPlatformWording(text::DescribesLinux(*sources.services()));
    controller.SetAggregate(std::make_shared<collectors::TVexa_SystemInfo>(sources.services()));
  }
  controller.SetAdvancedMode(options.advanced);
  controller.SetCollectorTimeLimit(options.collector_limit);
  return notes;
}

std::string SessionTitle(const Sources& sources) {
  std::string title = helpers::Globals().GetProductName();
  if (sources.Replayed()) title += " - " + FormatText(lbl::S_SNAPSHOT_TITLE, {sources.snapshot()});
  return title;
}

std::string SnapshotNote(const Sources& sources) {
  if (!sources.Replayed()) return {};
  return FormatText(lbl::S_SNAPSHOT_STATUS, {sources.snapshot()});
}

}  // namespace tavrin::session
