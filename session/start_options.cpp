#include "session/start_options.h"

#include <charconv>

namespace tavrin::session {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// "de", "de_AT.UTF-8", "DEU": letters, digits and the characters of locale names.
bool LooksLikeLanguage(std::string_view text) {
  if (text.empty() || text.size() > 40) return false;
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.' &&
        c != '@')
      return false;
  return true;
}

}  // namespace

OptionTaken TakeStartOption(const std::vector<std::string>& args, std::size_t& i,
                            StartOptions& options, std::string& error) {
  const std::string& arg = args[i];
  auto value = [&]() -> std::optional<std::string> {
    if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
    return args[++i];
  };
  auto fail = [&](std::string message) {
    error = std::move(message);
    return OptionTaken::kError;
  };
  if (i == 0 && EqualsNoCase(arg, "-debug")) return OptionTaken::kTaken;
  if (arg == "--help" || arg == "-h") {
    options.help = true;
  } else if (arg == "--version") {
    options.version = true;
  } else if (arg == "--advanced") {
    options.advanced = true;
  } else if (arg == "--replay") {
    auto path = value();
    if (!path) return fail("--replay needs a snapshot directory or file");
    options.replay = *path;
  } else if (arg == "--record") {
    auto dir = value();
    if (!dir) return fail("--record needs a directory");
    options.record = *dir;
  } else if (arg == "--lang") {
    auto code = value();
    if (!code || !LooksLikeLanguage(*code))
      return fail("--lang needs a language: a code such as DEU or a locale such as de_DE");
    options.language = *code;
  } else if (arg == "--timeout") {
    auto text = value();
    if (!text) return fail("--timeout needs a number of seconds");
    double seconds = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
    // Below 10 ms no collector can finish: every page would come out empty for no reason.
    if (ec != std::errc() || end != text->data() + text->size() || !(seconds >= 0.01) ||
        seconds > 86400)
      return fail("--timeout needs a number of seconds from 0.01 to 86400, not '" + *text + "'");
    options.collector_limit = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  } else {
    return OptionTaken::kNotMine;
  }
  return OptionTaken::kTaken;
}

std::string CheckStartOptions(const StartOptions& options) {
  if (options.record && options.replay) return "--record and --replay cannot be used together";
  return {};
}

std::string StartOptionsUsage() {
  return "  --advanced          advanced mode: every page and every row\n"
         "  --replay PATH       show a recorded snapshot (a directory, or a firmware or\n"
         "                      processor dump file) instead of this machine\n"
         "  --record DIR        also write what was read into the snapshot directory DIR\n"
         "  --lang CODE         texts in this language for this run (DEU, de_DE, ENU ...);\n"
         "                      without it the settings, then LC_ALL, LC_MESSAGES, LANG choose\n"
         "  --timeout SECONDS   abandon a collector that takes longer (default 30)\n"
         "  --help              this text\n"
         "  --version           program version\n"
         "  -debug              (first argument) write the diagnostics log debug.log\n";
}

}  // namespace tavrin::session
