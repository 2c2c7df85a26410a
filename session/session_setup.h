// Preparing a session once its sources are open: the language of the texts, the wording of
// the platform the data describes, and the gathering's settings. The window and the command
// line both come through here, so they show the same rows in the same words.
#pragma once

#include <string>
#include <vector>

#include "session/sources.h"
#include "session/start_options.h"

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::session {

/// Puts the labels into the language of --lang (else the settings', else the locale's),
/// words them for the platform the sources describe ("System Information" for a Linux
/// system), and gives `controller` the aggregate over the sources, the mode and the
/// collector time limit. Returns notes for the user (a language without a file).
std::vector<std::string> PrepareSession(const StartOptions& options, const Sources& sources,
                                        gather::TGetFunctionsClass& controller);

/// The language a run uses when --lang is `requested`: --lang, the settings, the locale.
std::string SessionLanguageCode(const std::optional<std::string>& requested);

/// "Tavrin System Information", or with the replayed snapshot named after it, for the
/// window's title and the reports' header.
std::string SessionTitle(const Sources& sources);

/// For a replayed snapshot, one line saying that the pages show it and not this computer;
/// empty for this machine.
std::string SnapshotNote(const Sources& sources);

}  // namespace tavrin::session
