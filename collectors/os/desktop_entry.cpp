#include "collectors/os/desktop_entry.h"

#include <algorithm>
#include <array>

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

// Escapes of string values: \s \n \t \r \\ (and "\;" inside lists, which splitting handles).
std::string Unescape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += value[i];
    }
  }
  return out;
}

std::vector<std::string> List(std::string_view value) {
  std::vector<std::string> items;
  std::string item;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == ';') {
      item += ';';
      ++i;
    } else if (value[i] == ';') {
      if (!item.empty()) items.push_back(Unescape(item));
      item.clear();
    } else {
      item += value[i];
    }
  }
  if (!item.empty()) items.push_back(Unescape(item));
  return items;
}

bool Boolean(std::string_view value) {
  return value == "true" || value == "1";
}

// The locale names to look for, best first: lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER,
// lang. The encoding part (".UTF-8") plays no part in matching.
std::vector<std::string> LocaleCandidates(std::string_view locale) {
  std::string_view modifier;
  if (const auto at = locale.find('@'); at != std::string_view::npos) {
    modifier = locale.substr(at);
    locale = locale.substr(0, at);
  }
  locale = locale.substr(0, locale.find('.'));
  const auto underscore = locale.find('_');
  const std::string_view lang = locale.substr(0, underscore);
  std::vector<std::string> out;
  if (lang.empty() || locale == "C" || locale == "POSIX") return out;
  if (underscore != std::string_view::npos) {
    if (!modifier.empty()) out.push_back(std::string(locale) + std::string(modifier));
    out.emplace_back(locale);
  }
  if (!modifier.empty()) out.push_back(std::string(lang) + std::string(modifier));
  out.emplace_back(lang);
  return out;
}

// A localizable key: the best value seen so far and how good its locale matched (lower is
// better; the plain key ranks after every candidate).
struct Localized {
  std::string value;
  std::size_t rank = SIZE_MAX;
  void Offer(std::string_view v, std::size_t r) {
    if (r < rank || (r == rank && value.empty())) {
      value = Unescape(v);
      rank = r;
    }
  }
};

}  // namespace

DesktopFileEntry ParseDesktopEntry(std::string_view text, std::string_view locale) {
  DesktopFileEntry entry;
  const std::vector<std::string> candidates = LocaleCandidates(locale);
  const std::size_t plainRank = candidates.size();
  Localized name, genericName, comment;
  bool inGroup = false, seenGroup = false;

  while (!text.empty()) {
    const auto eol = text.find('\n');
    std::string_view line = base::Trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      // Only the first "[Desktop Entry]" group counts; actions and vendor groups follow it.
      inGroup = !seenGroup && line == "[Desktop Entry]";
      seenGroup = seenGroup || inGroup;
      continue;
    }
    if (!inGroup) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    std::string_view key = base::TrimEnd(line.substr(0, eq));
    const std::string_view value = base::Trim(line.substr(eq + 1));

    std::size_t rank = plainRank;
    if (const auto open = key.find('['); open != std::string_view::npos) {
      if (key.back() != ']') continue;
      const std::string_view loc = key.substr(open + 1, key.size() - open - 2);
      key = key.substr(0, open);
      const auto it = std::find(candidates.begin(), candidates.end(), loc);
      if (it == candidates.end()) continue;
      rank = static_cast<std::size_t>(it - candidates.begin());
    }
    if (key == "Name")
      name.Offer(value, rank);
    else if (key == "GenericName")
      genericName.Offer(value, rank);
    else if (key == "Comment")
      comment.Offer(value, rank);
    else if (rank != plainRank)
      continue;
    else if (key == "Type")
      entry.type = Unescape(value);
    else if (key == "Exec")
      entry.exec = Unescape(value);
    else if (key == "TryExec")
      entry.tryExec = Unescape(value);
    else if (key == "Icon")
      entry.icon = Unescape(value);
    else if (key == "Hidden")
      entry.hidden = Boolean(value);
    else if (key == "NoDisplay")
      entry.noDisplay = Boolean(value);
    else if (key == "OnlyShowIn")
      entry.onlyShowIn = List(value);
    else if (key == "NotShowIn")
      entry.notShowIn = List(value);
    else if (key == "Categories")
      entry.categories = List(value);
    else if (key == "X-GNOME-Autostart-enabled")
      entry.autostartEnabled = Boolean(value);
  }
  entry.name = std::move(name.value);
  entry.genericName = std::move(genericName.value);
  entry.comment = std::move(comment.value);
  entry.valid = seenGroup && !entry.name.empty();
  return entry;
}

std::string CommandWithoutFieldCodes(std::string_view exec) {
  std::string out;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] == '%' && i + 1 < exec.size()) {
      if (exec[i + 1] == '%') out += '%';
      ++i;
      continue;
    }
    out += exec[i];
  }
  // A removed code leaves a doubled or trailing blank.
  std::string collapsed;
  for (char c : base::Trim(out))
    if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
  return collapsed;
}

bool ShownInDesktop(const DesktopFileEntry& entry,
                    const std::vector<std::string>& currentDesktops) {
  auto named = [&](const std::vector<std::string>& list) {
    for (const std::string& desktop : currentDesktops)
      for (const std::string& item : list)
        if (base::EqualsNoCase(desktop, item)) return true;
    return false;
  };
  if (currentDesktops.empty()) return true;
  if (named(entry.notShowIn)) return false;
  if (!entry.onlyShowIn.empty()) return named(entry.onlyShowIn);
  return true;
}

bool StartsWithSession(const DesktopFileEntry& entry,
                       const std::vector<std::string>& currentDesktops) {
  return entry.valid && !entry.hidden && entry.autostartEnabled &&
         ShownInDesktop(entry, currentDesktops);
}

}  // namespace tavrin::collectors
