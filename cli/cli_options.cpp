#include "cli/cli_options.h"

#include <charconv>

#include "pages/categories.h"

namespace tavrin::cli {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string KnownPages() {
  std::string keys;
  for (const auto& c : pages::TSICategoryList()) keys += (keys.empty() ? "" : ", ") + std::string(c.key);
  return keys;
}

}  // namespace

std::string CliUsage() {
  return "Usage: tavrin-cli [options]\n"
         "Gathers this machine (or a recorded snapshot) and prints its information pages.\n"
         "\n"
         "  --advanced          advanced mode: every page and every row\n"
         "  --page KEY          print only this page (repeatable); keys: " + KnownPages() + "\n"
         "  --explain           show where each value came from, and why empty values are empty\n"
         "  --record DIR        also write what was read into the snapshot directory DIR\n"
         "  --replay DIR        read a recorded snapshot instead of this machine\n"
         "  --timeout SECONDS   abandon a collector that takes longer (default 30)\n"
         "  --report KIND       write a report instead of printing the pages: html, xml, text\n"
         "                      or json; into the report folder unless -o is given\n"
         "  -o FILE             the report's file; - writes it to standard output\n"
         "  --mask              replace serials, MAC addresses, user and host names in the report\n"
         "  --help              this text\n"
         "  --version           program version\n"
         "  -debug              (first argument) write the diagnostics log debug.log\n";
}

ParsedArgs ParseCliArgs(const std::vector<std::string>& args) {
  CliOptions options;
  auto fail = [](std::string message) { return ParsedArgs{std::nullopt, std::move(message)}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
      (void)name;
      return args[++i];
    };
    if (i == 0 && EqualsNoCase(arg, "-debug")) continue;
    if (arg == "--advanced") {
      options.advanced = true;
    } else if (arg == "--explain") {
      options.explain = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--page") {
      auto key = value("--page");
      if (!key) return fail("--page needs a page key");
      if (pages::FindCategory(*key) == nullptr)
        return fail("unknown page '" + *key + "' (known: " + KnownPages() + ")");
      options.pages.push_back(*key);
    } else if (arg == "--record") {
      auto dir = value("--record");
      if (!dir) return fail("--record needs a directory");
      options.record_dir = *dir;
    } else if (arg == "--replay") {
      auto dir = value("--replay");
      if (!dir) return fail("--replay needs a directory");
      options.replay_dir = *dir;
    } else if (arg == "--timeout") {
      auto text = value("--timeout");
      double seconds = 0;
      if (!text) return fail("--timeout needs a number of seconds");
      auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
      if (ec != std::errc() || end != text->data() + text->size() || !(seconds > 0) ||
          seconds > 86400)
        return fail("--timeout needs a number of seconds between 0 and 86400, not '" + *text + "'");
      options.collector_limit = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    } else if (arg == "--report") {
      auto kind = value("--report");
      if (!kind || (*kind != "html" && *kind != "xml" && *kind != "text" && *kind != "json"))
        return fail("--report needs a kind: html, xml, text or json");
      options.report = *kind;
    } else if (arg == "-o") {
      auto file = value("-o");
      if (!file) return fail("-o needs a file name, or - for standard output");
      options.report_file = *file;
    } else if (arg == "--mask") {
      options.mask = true;
    } else {
      return fail("unknown argument '" + arg + "' (try --help)");
    }
  }
  if (options.record_dir && options.replay_dir)
    return fail("--record and --replay cannot be used together");
  if (!options.report && (options.report_file || options.mask))
    return fail(std::string(options.mask ? "--mask" : "-o") + " needs --report");
  if (options.report && (!options.pages.empty() || options.explain))
    return fail(std::string(options.explain ? "--explain" : "--page") +
                " cannot be used with --report: a report holds every page");
  return {options, {}};
}

}  // namespace tavrin::cli
