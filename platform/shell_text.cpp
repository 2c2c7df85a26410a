#include "platform/shell_text.h"

#include <cctype>

#include "base/strings.h"

namespace tavrin::platform {
namespace {

using base::Trim;

// A shell-style value: quoted parts joined, escapes in double quotes resolved.
std::string ShellValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (c == '"') {
      for (++i; i < v.size() && v[i] != '"'; ++i) {
        if (v[i] == '\\' && i + 1 < v.size() &&
            std::string_view("\"\\$`").find(v[i + 1]) != std::string_view::npos)
          ++i;
        out += v[i];
      }
    } else if (c == '\'') {
      for (++i; i < v.size() && v[i] != '\''; ++i) out += v[i];
    } else if (c == '\\' && i + 1 < v.size()) {
      out += v[++i];
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      break;  // an unquoted blank ends the value
    } else {
      out += c;
    }
  }
  return out;
}

bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

}  // namespace

std::vector<std::string_view> TextLines(std::string_view text) {
  return base::SplitLines(text);
}

std::map<std::string, std::string> ParseShellAssignments(std::string_view text) {
  std::map<std::string, std::string> values;
  for (std::string_view line : TextLines(text)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, eq));
    if (!ValidName(name)) continue;
    values[std::string(name)] = ShellValue(line.substr(eq + 1));
  }
  return values;
}

}  // namespace tavrin::platform
