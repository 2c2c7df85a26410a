// Platform wording: a few labels say "Windows" where the data may describe a Linux system;
// section captions in the user's language.
//
// The keys and their English defaults stay as they are (language files and reports rely on
// them); when the gathered data describes Linux, an override per key replaces the text in the
// label table, and removing the overrides puts back the texts they replaced. The program calls
// ApplyPlatformWording after the localization pass, once it knows which services it reads.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tavrin::platform {
struct Services;
}

namespace tavrin::text {

/// True when the services describe a Linux system (the version record's platform says so).
bool DescribesLinux(const platform::Services& services);

/// `toLinux` true: every overridden label gets its Linux text (the text it had is kept);
/// false: the kept texts come back. Calling it twice with the same value changes nothing.
void ApplyPlatformWording(bool toLinux);

/// Whether the Linux overrides are in place.
bool PlatformWordingActive();

/// The caption a page section shows: its Linux wording while the overrides are in place,
/// else `caption` itself ("Windows Information" -> "System Information").
std::string_view WordedSectionCaption(std::string_view categoryKey, std::string_view caption);

/// The text a section caption shows in the user's language: `caption` is the English caption
/// of the page layout (or its Linux wording); a caption the table does not know comes back as
/// it is. Reports and lists call this where they print a caption.
std::string SectionCaptionText(std::string_view caption);

/// The English captions SectionCaptionText knows (a test checks every layout's are there).
std::span<const std::string_view> KnownSectionCaptions();

}  // namespace tavrin::text
