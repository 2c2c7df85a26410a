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

// The desktops' settings come after the environment and fill in only what it left unset: a
// program started with *_proxy set uses those, whatever the desktop says.
void AddDesktopProxies(InternetData& net, const platform::OsServices& os) {
  auto take = [&](const std::vector<std::string>& lines, const Provenance& from) {
    const std::size_t before = net.ProxyServer.size();
    AddProxyLines(net.ProxyServer, lines);
    if (before == 0 && !net.ProxyServer.empty()) net.proxySource = from;
  };
  if (auto kde = os.facts->KdeProxyConfig())
    take(KdeProxyLines(ParseKioslaverc(kde->text)), kde.source);
  if (auto gnome = os.desktopProxy->GnomeProxy()) take(GnomeProxyLines(*gnome), gnome.source);
  if (net.ProxyServer.empty())
    net.proxySource = Provenance::Failure(Status::Missing, "proxy settings",
                                          "none in the environment, KDE or GNOME settings");
}

}  // namespace

std::optional<std::string> Env(const platform::EnvironmentSource* env, std::string_view name) {
  if (env == nullptr) return std::nullopt;
  return env->Get(name);
}

TimeZoneReading ReadTimeZone(const platform::OsFacts& os, int year) {
  TimeZoneReading tz;
  auto zone = os.TimeZone();
  tz.source = zone.source;
  if (!zone) return tz;
  // A bare rule has no name of its own: the rule is what the user chose.
  tz.DisplayName = zone->name.empty() ? zone->rule : zone->name;
  std::optional<ZoneYear> zy;
  if (!zone->tzif.empty()) {
    if (auto parsed = ParseTzif(zone->tzif)) zy = ZoneYearOf(*parsed, year);
  } else if (auto rule = ParsePosixTz(zone->rule)) {
    zy = ZoneYearOf(*rule, year);
  }
  if (!zy) {
    tz.source = Provenance::Failure(
        Status::Malformed, zone.source.source,
        zone->tzif.empty() ? "neither a zone nor a rule" : "not a complete time-zone file");
    return tz;
  }
  tz.StandardName = zy->stdName;
  tz.DaylightName = zy->dstName;
  // Windows counts the bias in minutes west of UTC.
  tz.Bias = -zy->stdUtoff / 60;
  if (zy->dstStart && zy->stdStart)
    tz.transitions = TimeZoneReading::Transitions{*zy->dstStart, *zy->stdStart, -zy->dstUtoff / 60,
                                                  -zy->stdUtoff / 60};
  return tz;
}

InternetData ReadInternet(const platform::OsServices& os) {
  InternetData net;
  const auto lists = os.facts->DefaultApplicationLists();
  auto lookup = [&](std::initializer_list<std::string_view> types, std::string& name,
                    std::string& program) {
    if (!lists) return;
    for (const platform::NamedText& list : *lists) {
      for (std::string_view type : types) {
        auto id = DefaultApplication(list.text, type);
        if (!id) continue;
        if (auto entry = os.facts->DesktopEntry(*id)) {
          DesktopEntry parsed = ParseDesktopEntry(entry->text);
          name = parsed.name;
          program = parsed.program;
          net.source = entry.source;
        } else {
          name = *id;  // named, but its desktop entry is not installed
          net.source = Provenance::Answered(list.path);
        }
        return;
      }
    }
  };
  net.source = Provenance::Failure(Status::Missing, "mimeapps.list", "no default applications set");
  lookup({"x-scheme-handler/http", "x-scheme-handler/https", "text/html"}, net.DefaultBrowserName,
         net.DefaultBrowser);
  lookup({"x-scheme-handler/mailto"}, net.DefaultMailClientName, net.DefaultMailClient);

  // Proxies as command-line programs take them; the lower-case names win, as curl has it.
  const platform::EnvironmentSource* env = os.environment.get();
  for (auto [scheme, lower, upper] : {std::tuple{"http", "http_proxy", "HTTP_PROXY"},
                                      {"https", "https_proxy", "HTTPS_PROXY"},
                                      {"ftp", "ftp_proxy", "FTP_PROXY"},
                                      {"socks", "all_proxy", "ALL_PROXY"}}) {
    auto value = Env(env, lower);
    if (!value || value->empty()) value = Env(env, upper);
    if (value && !value->empty()) net.ProxyServer.push_back(std::string(scheme) + "=" + *value);
  }
  if (!net.ProxyServer.empty()) net.proxySource = Provenance::Answered("environment *_proxy");
  AddDesktopProxies(net, os);
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
