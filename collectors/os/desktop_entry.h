// Decoding desktop entry files (".desktop"), the way desktops register applications and the
// programs they start with a session (freedesktop.org Desktop Entry Specification 1.5,
// Desktop Application Autostart Specification 0.5).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

struct DesktopFileEntry {
  bool valid = false;  ///< the file has a "[Desktop Entry]" group with a Name
  std::string type;    ///< "Application", "Link", "Directory"
  std::string name;    ///< in the requested language when the file has it
  std::string genericName;
  std::string comment;
  std::string exec;  ///< the command line as written, field codes ("%U") included
  std::string tryExec;
  std::string icon;
  bool hidden = false;     ///< "Hidden=true": deleted, or an autostart entry switched off
  bool noDisplay = false;  ///< registered but kept out of menus
  std::vector<std::string> onlyShowIn, notShowIn, categories;
  /// GNOME's own switch for autostart entries ("X-GNOME-Autostart-enabled=false").
  bool autostartEnabled = true;
};

/// Decodes the "[Desktop Entry]" group of `text`. `locale` is a POSIX locale name
/// ("de_DE.UTF-8@euro"); localized keys ("Name[de_DE]", "Name[de]") are preferred to the plain
/// key in the order the specification gives. Lines that are neither a group header, a comment
/// nor "key=value" are skipped.
DesktopFileEntry ParseDesktopEntry(std::string_view text, std::string_view locale = {});

/// The command line without its field codes ("%U", "%f", ...) and with "%%" as "%".
std::string CommandWithoutFieldCodes(std::string_view exec);

/// Whether a desktop listed in `currentDesktops` (XDG_CURRENT_DESKTOP split at ':') shows the
/// entry: OnlyShowIn limits it to the desktops named there, NotShowIn excludes desktops. With no
/// current desktop known (a session without XDG_CURRENT_DESKTOP, a replayed machine), which
/// desktop would start it cannot be said, and the entry counts as shown.
bool ShownInDesktop(const DesktopFileEntry& entry, const std::vector<std::string>& currentDesktops);

/// Whether an autostart entry starts with the session: not hidden, not switched off, shown on
/// the current desktop.
bool StartsWithSession(const DesktopFileEntry& entry,
                       const std::vector<std::string>& currentDesktops);

}  // namespace tavrin::collectors
