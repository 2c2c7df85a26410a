#include "helpers/locale_code.h"

#include <cstdlib>

namespace tavrin::helpers {
namespace {

struct LocaleCode {
  std::string_view locale;  // "de_AT", or a bare language for its main code
  std::string_view code;
};

// Windows' abbreviated language names of common locales. A bare language comes after its
// territories and gives the code used when the territory is not listed.
constexpr LocaleCode kCodes[] = {
    {"en_US", "ENU"}, {"en_GB", "ENG"}, {"en_AU", "ENA"}, {"en_CA", "ENC"}, {"en_NZ", "ENZ"},
    {"en_IE", "ENI"}, {"en_ZA", "ENS"}, {"en_IN", "ENN"}, {"en", "ENU"},    {"de_DE", "DEU"},
    {"de_AT", "DEA"}, {"de_CH", "DES"}, {"de_LU", "DEL"}, {"de_LI", "DEC"}, {"de", "DEU"},
    {"fr_FR", "FRA"}, {"fr_BE", "FRB"}, {"fr_CA", "FRC"}, {"fr_CH", "FRS"}, {"fr_LU", "FRL"},
    {"fr", "FRA"},    {"es_ES", "ESN"}, {"es_MX", "ESM"}, {"es_AR", "ESS"}, {"es_CO", "ESO"},
    {"es_CL", "ESL"}, {"es_US", "EST"}, {"es", "ESN"},    {"it_IT", "ITA"}, {"it_CH", "ITS"},
    {"it", "ITA"},    {"nl_NL", "NLD"}, {"nl_BE", "NLB"}, {"nl", "NLD"},    {"pt_BR", "PTB"},
    {"pt_PT", "PTG"}, {"pt", "PTG"},    {"sv_SE", "SVE"}, {"sv_FI", "SVF"}, {"sv", "SVE"},
    {"da", "DAN"},    {"nb", "NOR"},    {"no", "NOR"},    {"nn", "NON"},    {"fi", "FIN"},
    {"is", "ISL"},    {"ru", "RUS"},    {"uk", "UKR"},    {"be", "BEL"},    {"pl", "PLK"},
    {"cs", "CSY"},    {"sk", "SKY"},    {"hu", "HUN"},    {"ro", "ROM"},    {"bg", "BGR"},
    {"hr", "HRV"},    {"sl", "SLV"},    {"sr", "SRB"},    {"et", "ETI"},    {"lv", "LVI"},
    {"lt", "LTH"},    {"el", "ELL"},    {"tr", "TRK"},    {"he", "HEB"},    {"ar", "ARA"},
    {"fa", "FAR"},    {"hi", "HIN"},    {"th", "THA"},    {"vi", "VIT"},    {"id", "IND"},
    {"ms", "MSL"},    {"ja", "JPN"},    {"ko", "KOR"},    {"zh_CN", "CHS"}, {"zh_SG", "ZHI"},
    {"zh_TW", "CHT"}, {"zh_HK", "ZHH"}, {"zh_MO", "ZHM"}, {"zh", "CHS"},    {"ca", "CAT"},
    {"eu", "EUQ"},    {"gl", "GLC"},
};

constexpr std::string_view kDefault = "ENU";

}  // namespace

std::string LanguageCodeForLocale(std::string_view locale) {
  // "de_AT.UTF-8@euro" -> "de_AT"
  locale = locale.substr(0, locale.find_first_of(".@"));
  std::string_view language = locale.substr(0, locale.find('_'));
  for (const LocaleCode& entry : kCodes)
    if (entry.locale == locale) return std::string(entry.code);
  for (const LocaleCode& entry : kCodes)
    if (entry.locale == language) return std::string(entry.code);
  return std::string(kDefault);  // also "C" and "POSIX"
}

std::string UserLanguageCode() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(name); value && *value) return LanguageCodeForLocale(value);
  return std::string(kDefault);
}

}  // namespace tavrin::helpers
