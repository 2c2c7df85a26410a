#include "cli/cli_options.h"

#include "pages/categories.h"

namespace tavrin::cli {
namespace {

std::string KnownPages() {
  std::string keys;
  for (const auto& c : pages::TSICategoryList())
    keys += (keys.empty() ? "" : ", ") + std::string(c.key);
  return keys;
}

}  // namespace

std::string CliUsage() {
  return "Usage: tavrin-cli [options]\n"
         "Gathers this machine (or a recorded snapshot) and prints its information pages.\n"
         "\n"
         "  --page KEY          print only this page (repeatable); keys: " +
         KnownPages() +
         "\n"
         "  --explain           show where each value came from, and why empty values are empty\n"
         "  --report KIND       write a report instead of printing the pages: html, xml, text\n"
         "                      or json; into the report folder unless -o is given\n"
         "  -o FILE             the report's file; - writes it to standard output\n"
         "  --mask              replace serials, MAC addresses, user and host names in the "
         "report\n"
         "  --monitor [SECONDS] print processor, memory and swap load once a second, for\n"
         "                      SECONDS seconds or until Ctrl+C; this machine only\n" +
         session::StartOptionsUsage();
}

ParsedArgs ParseCliArgs(const std::vector<std::string>& args) {
  CliOptions options;
  auto fail = [](std::string message) { return ParsedArgs{std::nullopt, std::move(message)}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    switch (session::TakeStartOption(args, i, options.start, error)) {
      case session::OptionTaken::kTaken:
        continue;
      case session::OptionTaken::kError:
        return fail(error);
      case session::OptionTaken::kNotMine:
        break;
    }
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--explain") {
      options.explain = true;
    } else if (arg == "--page") {
      auto key = value();
      if (!key) return fail("--page needs a page key");
      if (pages::FindCategory(*key) == nullptr)
        return fail("unknown page '" + *key + "' (known: " + KnownPages() + ")");
      options.pages.push_back(*key);
    } else if (arg == "--report") {
      auto kind = value();
      if (!kind || (*kind != "html" && *kind != "xml" && *kind != "text" && *kind != "json"))
        return fail("--report needs a kind: html, xml, text or json");
      options.report = *kind;
    } else if (arg == "-o") {
      auto file = value();
      if (!file) return fail("-o needs a file name, or - for standard output");
      options.report_file = *file;
    } else if (arg == "--mask") {
      options.mask = true;
    } else if (arg == "--monitor") {
      options.monitor_seconds = 0;
      // The duration is optional: only a number after the option is taken as one.
      if (i + 1 < args.size() && !args[i + 1].empty() &&
          args[i + 1].find_first_not_of("0123456789") == std::string::npos) {
        if (args[i + 1].size() > 9) return fail("--monitor: too many seconds");
        options.monitor_seconds = static_cast<unsigned>(std::stoul(args[++i]));
      }
    } else {
      return fail("unknown argument '" + arg + "' (try --help)");
    }
  }
  if (std::string problem = session::CheckStartOptions(options.start); !problem.empty())
    return fail(problem);
  if (!options.report && (options.report_file || options.mask))
    return fail(std::string(options.mask ? "--mask" : "-o") + " needs --report");
  if (options.monitor_seconds &&
      (options.report || !options.pages.empty() || options.explain || options.start.record))
    return fail(
        "--monitor prints the live load only: it cannot be used with --page, --explain, "
        "--report or --record");
  if (options.report && (!options.pages.empty() || options.explain))
    return fail(std::string(options.explain ? "--explain" : "--page") +
                " cannot be used with --report: a report holds every page");
  return {options, {}};
}

}  // namespace tavrin::cli
