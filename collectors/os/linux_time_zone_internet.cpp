#include <cctype>
#include <tuple>
#include <vector>

#include "collectors/os/desktop_proxy_text.h"
#include "collectors/os/linux_config_text.h"
#include "collectors/os/linux_os_parts.h"
#include "collectors/os/os_text_rules.h"
#include "collectors/os/tzif.h"

namespace tavrin::collectors::linuxparts {
namespace {

using platform::Provenance;
using platform::Status;

constexpr std::string_view kZoneInfo = "/usr/share/zoneinfo/";

std::string FirstLine(std::string_view text) {
  std::string line(text.substr(0, text.find('\n')));
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.pop_back();
  return line;
}

// "/usr/share/zoneinfo/Europe/Berlin" or "../usr/share/zoneinfo/Europe/Berlin" -> the zone name.
std::string ZoneOfLink(std::string_view target) {
  const auto at = target.find("zoneinfo/");
  if (at == std::string_view::npos) return {};
  std::string name(target.substr(at + 9));
  // posix/ and right/ trees hold the same zones with other leap-second treatment.
  for (std::string_view prefix : {"posix/", "right/"})
    if (name.rfind(prefix, 0) == 0) name.erase(0, prefix.size());
  return name;
}

std::vector<std::string> SplitPath(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto end = list.find(':', start);
    std::string part = list.substr(start, end - start);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The desktops' settings come after the environment and fill in only what it left unset: a
// program started with *_proxy set uses those, whatever the desktop says. KDE's file is read
// through the file reader, so recordings keep it; GNOME's settings only when `desktop` is
// given (live services), so a replay shows the environment and KDE parts alone.
void AddDesktopProxies(InternetData& net, const platform::FileReader& files,
                       const std::string& configHome, const platform::DesktopProxySource* desktop) {
  std::vector<std::string> reasons;
  if (net.ProxyServer.empty()) reasons.push_back("environment: no *_proxy set");
  auto take = [&](const std::vector<std::string>& lines, const Provenance& from) {
    const std::size_t before = net.ProxyServer.size();
    AddProxyLines(net.ProxyServer, lines);
    if (before == 0 && !net.ProxyServer.empty()) net.proxySource = from;
  };

  if (configHome.empty()) {
    reasons.push_back("kioslaverc: no home folder");
  } else if (auto kde = files.ReadFile(configHome + "/kioslaverc", 1 << 20)) {
    const auto lines = KdeProxyLines(ParseKioslaverc(*kde));
    if (lines.empty()) reasons.push_back(kde.source.source + ": no proxy set");
    take(lines, kde.source);
  } else {
    reasons.push_back(kde.source.Explain());
  }

  if (desktop == nullptr) {
    reasons.push_back("GNOME settings: read only on the live machine");
  } else if (auto gnome = desktop->GnomeProxy()) {
    const auto lines = GnomeProxyLines(*gnome);
    if (lines.empty()) reasons.push_back(gnome.source.source + ": no proxy set");
    take(lines, gnome.source);
  } else {
    reasons.push_back(gnome.source.Explain());
  }

  if (net.ProxyServer.empty()) {
    std::string detail;
    for (const std::string& r : reasons) detail += (detail.empty() ? "" : "; ") + r;
    net.proxySource = Provenance::Failure(Status::Missing, "proxy settings", detail);
  }
}

}  // namespace

std::optional<std::string> Env(const platform::EnvironmentSource* env, std::string_view name) {
  if (env == nullptr) return std::nullopt;
  return env->Get(name);
}

TimeZoneReading ReadTimeZone(const platform::FileReader& files, int year) {
  TimeZoneReading tz;
  std::string name;
  if (auto text = files.ReadFile("/etc/timezone", 4096)) name = FirstLine(*text);
  if (name.empty())
    if (auto target = files.ReadLink("/etc/localtime")) name = ZoneOfLink(*target);
  tz.DisplayName = name;

  auto bytes = files.ReadFile("/etc/localtime", 1 << 20);
  if (!bytes && !name.empty() && name.find("..") == std::string::npos)
    bytes = files.ReadFile(std::string(kZoneInfo) + name, 1 << 20);
  if (!bytes) {
    tz.source = bytes.source;
    return tz;
  }
  auto zone = ParseTzif(*bytes);
  std::optional<ZoneYear> zy = zone ? ZoneYearOf(*zone, year) : std::nullopt;
  if (!zy) {
    tz.source = Provenance::Failure(Status::Malformed, bytes.source.source,
                                    "not a complete time-zone file");
    return tz;
  }
  tz.source = bytes.source;
  tz.StandardName = zy->stdName;
  tz.DaylightName = zy->dstName;
  // Windows counts the bias in minutes west of UTC.
  tz.Bias = -zy->stdUtoff / 60;
  if (zy->dstStart && zy->stdStart)
    tz.transitions = TimeZoneReading::Transitions{*zy->dstStart, *zy->stdStart, -zy->dstUtoff / 60,
                                                  -zy->stdUtoff / 60};
  return tz;
}

InternetData ReadInternet(const platform::FileReader& files, const platform::EnvironmentSource* env,
                          const std::string& home, const platform::DesktopProxySource* desktop) {
  InternetData net;
  // The XDG base directories, with their documented defaults.
  const std::string configHome =
      Env(env, "XDG_CONFIG_HOME").value_or(home.empty() ? "" : home + "/.config");
  const std::string dataHome =
      Env(env, "XDG_DATA_HOME").value_or(home.empty() ? "" : home + "/.local/share");
  std::vector<std::string> configDirs = SplitPath(Env(env, "XDG_CONFIG_DIRS").value_or("/etc/xdg"));
  std::vector<std::string> dataDirs =
      SplitPath(Env(env, "XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share"));
  if (!configHome.empty()) configDirs.insert(configDirs.begin(), configHome);
  if (!dataHome.empty()) dataDirs.insert(dataDirs.begin(), dataHome);
  const std::vector<std::string> desktops = SplitPath(Env(env, "XDG_CURRENT_DESKTOP").value_or(""));

  // mimeapps.list files in the order they take precedence: per directory, the desktop's own
  // list before the common one; configuration before data directories.
  std::vector<std::string> lists;
  auto addLists = [&](const std::string& dir) {
    for (const std::string& d : desktops) lists.push_back(dir + "/" + Lower(d) + "-mimeapps.list");
    lists.push_back(dir + "/mimeapps.list");
  };
  for (const std::string& dir : configDirs) addLists(dir);
  for (const std::string& dir : dataDirs) addLists(dir + "/applications");

  auto lookup = [&](std::initializer_list<std::string_view> types, std::string& name,
                    std::string& program) {
    for (const std::string& list : lists) {
      auto text = files.ReadFile(list, 1 << 20);
      if (!text) continue;
      for (std::string_view type : types) {
        auto id = DefaultApplication(*text, type);
        if (!id) continue;
        for (const std::string& dir : dataDirs) {
          auto entry = files.ReadFile(dir + "/applications/" + *id, 1 << 20);
          if (!entry) continue;
          DesktopEntry parsed = ParseDesktopEntry(*entry);
          name = parsed.name;
          program = parsed.program;
          net.source = entry.source;
          return;
        }
        name = *id;  // named, but its desktop entry is not installed
        net.source = text.source;
        return;
      }
    }
  };
  net.source = Provenance::Failure(Status::Missing, "mimeapps.list", "no default applications set");
  lookup({"x-scheme-handler/http", "x-scheme-handler/https", "text/html"}, net.DefaultBrowserName,
         net.DefaultBrowser);
  lookup({"x-scheme-handler/mailto"}, net.DefaultMailClientName, net.DefaultMailClient);

  // Proxies as command-line programs take them; the lower-case names win, as curl has it.
  for (auto [scheme, lower, upper] : {std::tuple{"http", "http_proxy", "HTTP_PROXY"},
                                      {"https", "https_proxy", "HTTPS_PROXY"},
                                      {"ftp", "ftp_proxy", "FTP_PROXY"},
                                      {"socks", "all_proxy", "ALL_PROXY"}}) {
    auto value = Env(env, lower);
    if (!value || value->empty()) value = Env(env, upper);
    if (value && !value->empty()) net.ProxyServer.push_back(std::string(scheme) + "=" + *value);
  }
  if (!net.ProxyServer.empty()) net.proxySource = Provenance::Answered("environment *_proxy");
  AddDesktopProxies(net, files, configHome, desktop);
  if (!net.ProxyServer.empty()) net.ConnectionType = TConnectionType::ctLAN;
  return net;
}

std::string LanguageLocaleName(const platform::EnvironmentSource* env) {
  for (std::string_view name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    auto value = Env(env, name);
    if (value && !value->empty()) return *value;
  }
  return "C";
}

LocaleData ReadLocale(const platform::LocaleDatabase* locales,
                      const platform::EnvironmentSource* env) {
  if (locales == nullptr || env == nullptr) {
    LocaleData none;
    none.source =
        Provenance::Failure(Status::NotSupported, "locale data", "no locale database to ask");
    return none;
  }
  // Without the environment the locale the process used is unknown.
  if (auto variables = env->Variables(); !variables) {
    LocaleData none;
    none.source = variables.source;
    return none;
  }
  // Each group of texts follows its own category, as the C library does: LC_ALL overrides
  // everything, then the category's variable, then LANG.
  auto localeOf = [env](std::string_view category) {
    for (std::string_view name : {std::string_view("LC_ALL"), category, std::string_view("LANG")}) {
      auto value = Env(env, name);
      if (value && !value->empty()) return *value;
    }
    return std::string("C");
  };
  auto describe = [&](std::string_view category) {
    auto facts = locales->Describe(localeOf(category));
    if (!facts) facts = locales->Describe("C");
    return facts;
  };
  auto base = describe("LC_MESSAGES");
  if (!base) {
    LocaleData none;
    none.source = base.source;
    return none;
  }
  LocaleData l = LocaleFromFacts(*base);
  l.source = base.source;
  // The portable locales name no language or country of their own.
  const std::string& name = base->name;
  if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) {
    l.FullLocalizeLanguage = l.FullLanguageEnglishName = l.AbbreviateLanguageName = "";
    l.FullCountryCode = l.CountryCode = l.AbbreviateCountryCode = "";
  }
  if (auto numeric = describe("LC_NUMERIC")) {
    const LocaleData n = LocaleFromFacts(*numeric);
    l.DecimalSeparator = n.DecimalSeparator;
    l.DecimalThousandSeparator = n.DecimalThousandSeparator;
    l.ListSeparator = n.ListSeparator;
  }
  if (auto money = describe("LC_MONETARY")) {
    const LocaleData m = LocaleFromFacts(*money);
    l.LocalMonetarySymbol = m.LocalMonetarySymbol;
    l.InternationalMonetarySymbol = m.InternationalMonetarySymbol;
    l.CurrencyDecimalSeparator = m.CurrencyDecimalSeparator;
    l.CurrencyThousandSeparator = m.CurrencyThousandSeparator;
    l.CurrencyDecimalDigits = m.CurrencyDecimalDigits;
    l.NumberOfDecimalDigits = m.NumberOfDecimalDigits;
    l.PositiveCurrencyMode = m.PositiveCurrencyMode;
    l.NegativeCurrencyMode = m.NegativeCurrencyMode;
  }
  if (auto time = describe("LC_TIME")) {
    const LocaleData t = LocaleFromFacts(*time);
    l.DateSeparator = t.DateSeparator;
    l.TimeSeparator = t.TimeSeparator;
    l.TimeFormat = t.TimeFormat;
    l.ShortDateFormat = t.ShortDateFormat;
    l.LongDateFormat = t.LongDateFormat;
    l.ShortDateOrder = t.ShortDateOrder;
    l.LongDateOrder = t.LongDateOrder;
    l.TimeFormatSpecifier = t.TimeFormatSpecifier;
    l.YearFormat = t.YearFormat;
  }
  if (auto measurement = describe("LC_MEASUREMENT"))
    l.MeasurementSystem = LocaleFromFacts(*measurement).MeasurementSystem;
  if (auto ctype = describe("LC_CTYPE")) l.CodeSet = ctype->codeset;
  return l;
}

}  // namespace tavrin::collectors::linuxparts
