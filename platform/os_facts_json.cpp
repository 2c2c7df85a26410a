#include "platform/os_facts_json.h"

#include <array>

namespace tavrin::platform {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

template <class T>
void Opt(const nlohmann::json& j, const char* key, T& field) {
  if (j.contains(key)) field = j.at(key).get<T>();
}

}  // namespace

namespace {

std::string ValueProblem(const nlohmann::json& value, int depth) {
  if (value.is_number_float()) return "a number with a fraction where a whole number belongs";
  if (!value.is_structured()) return {};
  // The deepest answer (a locale's items) is three levels down.
  if (depth > 16) return "nested too deeply";
  for (const auto& item : value)
    if (std::string problem = ValueProblem(item, depth + 1); !problem.empty()) return problem;
  return {};
}

}  // namespace

std::string OsValueProblem(const nlohmann::json& value) {
  return ValueProblem(value, 0);
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 2]);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    const auto at = kAlphabet.find(c);
    if (at == std::string_view::npos) return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(at);
    if (++count == 4) {
      out += static_cast<char>((bits >> 16) & 0xFF);
      out += static_cast<char>((bits >> 8) & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) return std::nullopt;
  if (count == 2) out += static_cast<char>((bits >> 4) & 0xFF);
  if (count == 3) {
    out += static_cast<char>((bits >> 10) & 0xFF);
    out += static_cast<char>((bits >> 2) & 0xFF);
  }
  return out;
}

void to_json(nlohmann::json& j, const KernelNames& v) {
  j = {{"release", v.release}, {"version", v.version}, {"machine", v.machine}};
}
void from_json(const nlohmann::json& j, KernelNames& v) {
  v.release = j.at("release").get<std::string>();
  Opt(j, "version", v.version);
  Opt(j, "machine", v.machine);
}

void to_json(nlohmann::json& j, const UserAccount& v) {
  j = {{"name", v.name}, {"fullName", v.fullName}, {"home", v.home}};
}
void from_json(const nlohmann::json& j, UserAccount& v) {
  v.name = j.at("name").get<std::string>();
  Opt(j, "fullName", v.fullName);
  Opt(j, "home", v.home);
}

void to_json(nlohmann::json& j, const ZoneFacts& v) {
  j = {{"name", v.name}, {"tzif", Base64Encode(v.tzif)}, {"rule", v.rule}};
}
void from_json(const nlohmann::json& j, ZoneFacts& v) {
  Opt(j, "name", v.name);
  Opt(j, "rule", v.rule);
  auto bytes = Base64Decode(j.value("tzif", std::string()));
  if (!bytes) throw nlohmann::json::other_error::create(501, "tzif is not base64", &j);
  v.tzif = std::move(*bytes);
}

void to_json(nlohmann::json& j, const NamedText& v) {
  j = {{"path", v.path}, {"text", v.text}};
}
void from_json(const nlohmann::json& j, NamedText& v) {
  v.path = j.at("path").get<std::string>();
  v.text = j.at("text").get<std::string>();
}

void to_json(nlohmann::json& j, const LocaleFacts& v) {
  j = {{"name", v.name},
       {"codeset", v.codeset},
       {"dateFormat", v.dateFormat},
       {"dateTimeFormat", v.dateTimeFormat},
       {"timeFormat", v.timeFormat},
       {"amPmTimeFormat", v.amPmTimeFormat},
       {"amString", v.amString},
       {"decimalPoint", v.decimalPoint},
       {"thousandsSep", v.thousandsSep},
       {"currencySymbol", v.currencySymbol},
       {"intCurrencySymbol", v.intCurrencySymbol},
       {"monDecimalPoint", v.monDecimalPoint},
       {"monThousandsSep", v.monThousandsSep},
       {"fracDigits", v.fracDigits},
       {"csPrecedes", v.csPrecedes},
       {"sepBySpace", v.sepBySpace},
       {"negCsPrecedes", v.negCsPrecedes},
       {"negSepBySpace", v.negSepBySpace},
       {"negSignPosn", v.negSignPosn},
       {"measurement", v.measurement},
       {"languageName", v.languageName},
       {"territoryName", v.territoryName},
       {"languageAbbrev", v.languageAbbrev},
       {"countryAbbrev", v.countryAbbrev},
       {"phonePrefix", v.phonePrefix}};
}
void from_json(const nlohmann::json& j, LocaleFacts& v) {
  v.name = j.at("name").get<std::string>();
  Opt(j, "codeset", v.codeset);
  Opt(j, "dateFormat", v.dateFormat);
  Opt(j, "dateTimeFormat", v.dateTimeFormat);
  Opt(j, "timeFormat", v.timeFormat);
  Opt(j, "amPmTimeFormat", v.amPmTimeFormat);
  Opt(j, "amString", v.amString);
  Opt(j, "decimalPoint", v.decimalPoint);
  Opt(j, "thousandsSep", v.thousandsSep);
  Opt(j, "currencySymbol", v.currencySymbol);
  Opt(j, "intCurrencySymbol", v.intCurrencySymbol);
  Opt(j, "monDecimalPoint", v.monDecimalPoint);
  Opt(j, "monThousandsSep", v.monThousandsSep);
  Opt(j, "fracDigits", v.fracDigits);
  Opt(j, "csPrecedes", v.csPrecedes);
  Opt(j, "sepBySpace", v.sepBySpace);
  Opt(j, "negCsPrecedes", v.negCsPrecedes);
  Opt(j, "negSepBySpace", v.negSepBySpace);
  Opt(j, "negSignPosn", v.negSignPosn);
  Opt(j, "measurement", v.measurement);
  Opt(j, "languageName", v.languageName);
  Opt(j, "territoryName", v.territoryName);
  Opt(j, "languageAbbrev", v.languageAbbrev);
  Opt(j, "countryAbbrev", v.countryAbbrev);
  Opt(j, "phonePrefix", v.phonePrefix);
}

void to_json(nlohmann::json& j, const GnomeProxySettings& v) {
  auto endpoint = [](const GnomeProxySettings::Endpoint& e) {
    return nlohmann::json{{"host", e.host}, {"port", e.port}};
  };
  j = {{"mode", v.mode},
       {"autoconfigUrl", v.autoconfigUrl},
       {"ignoreHosts", v.ignoreHosts},
       {"http", endpoint(v.http)},
       {"https", endpoint(v.https)},
       {"ftp", endpoint(v.ftp)},
       {"socks", endpoint(v.socks)}};
}
void from_json(const nlohmann::json& j, GnomeProxySettings& v) {
  v.mode = j.at("mode").get<std::string>();
  Opt(j, "autoconfigUrl", v.autoconfigUrl);
  Opt(j, "ignoreHosts", v.ignoreHosts);
  for (auto [key, e] :
       {std::pair{"http", &v.http}, {"https", &v.https}, {"ftp", &v.ftp}, {"socks", &v.socks}}) {
    if (!j.contains(key)) continue;
    Opt(j.at(key), "host", e->host);
    Opt(j.at(key), "port", e->port);
  }
}

}  // namespace tavrin::platform
