#include "platform/linux/linux_os_environment.h"

#include <langinfo.h>
#include <locale.h>

#include <unistd.h>

#include <climits>

namespace tavrin::platform {
namespace {

class ProcEnvironmentSource : public EnvironmentSource {
 public:
  explicit ProcEnvironmentSource(std::shared_ptr<const FileReader> files)
      : files_(std::move(files)) {}
  Answer<std::vector<std::string>> Variables() const override {
    auto block = files_->ReadFile("/proc/self/environ", 16u << 20);
    if (!block) return {std::nullopt, block.source};
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < block->size()) {
      const auto end = block->find('\0', start);
      const std::size_t stop = end == std::string::npos ? block->size() : end;
      if (stop > start) lines.push_back(block->substr(start, stop - start));
      start = stop + 1;
    }
    return {std::move(lines), block.source};
  }

 private:
  std::shared_ptr<const FileReader> files_;
};

class LiveEnvironment : public EnvironmentSource {
 public:
  Answer<std::vector<std::string>> Variables() const override {
    std::vector<std::string> lines;
    for (char** at = environ; at != nullptr && *at != nullptr; ++at)
      if (**at != '\0') lines.emplace_back(*at);
    return Answer<std::vector<std::string>>::Of(std::move(lines), "process environment");
  }
};

// A locale object made current for this thread only while the facts are read, because
// localeconv answers for the thread's current locale.
class ScopedLocale {
 public:
  explicit ScopedLocale(locale_t loc) : loc_(loc), previous_(uselocale(loc)) {}
  ~ScopedLocale() {
    uselocale(previous_);
    freelocale(loc_);
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  locale_t get() const { return loc_; }

 private:
  locale_t loc_;
  locale_t previous_;
};

std::string Text(const char* text) {
  return text != nullptr ? text : "";
}
int Flag(char value) {
  return value == CHAR_MAX ? -1 : value;
}

class CLibraryLocales : public LocaleDatabase {
 public:
  Answer<LocaleFacts> Describe(std::string_view name) const override {
    const std::string wanted(name);
    const std::string from = "newlocale " + wanted;
    locale_t loc = newlocale(LC_ALL_MASK, wanted.c_str(), static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0))
      return Answer<LocaleFacts>::Fail(Status::Missing, from, "locale not installed");
    ScopedLocale scope(loc);
    LocaleFacts f;
    f.name = wanted;
    f.codeset = Text(nl_langinfo_l(CODESET, loc));
    f.dateFormat = Text(nl_langinfo_l(D_FMT, loc));
    f.dateTimeFormat = Text(nl_langinfo_l(D_T_FMT, loc));
    f.timeFormat = Text(nl_langinfo_l(T_FMT, loc));
    f.amPmTimeFormat = Text(nl_langinfo_l(T_FMT_AMPM, loc));
    f.amString = Text(nl_langinfo_l(AM_STR, loc));
    f.decimalPoint = Text(nl_langinfo_l(RADIXCHAR, loc));
    f.thousandsSep = Text(nl_langinfo_l(THOUSEP, loc));
    const lconv* conv = localeconv();
    if (conv != nullptr) {
      f.currencySymbol = Text(conv->currency_symbol);
      f.intCurrencySymbol = Text(conv->int_curr_symbol);
      f.monDecimalPoint = Text(conv->mon_decimal_point);
      f.monThousandsSep = Text(conv->mon_thousands_sep);
      f.fracDigits = Flag(conv->frac_digits);
      f.csPrecedes = Flag(conv->p_cs_precedes);
      f.sepBySpace = Flag(conv->p_sep_by_space);
      f.negCsPrecedes = Flag(conv->n_cs_precedes);
      f.negSepBySpace = Flag(conv->n_sep_by_space);
      f.negSignPosn = Flag(conv->n_sign_posn);
    }
    // glibc's locale categories beyond POSIX: names, codes and the measurement system.
    const char* measurement = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc);
    f.measurement = measurement != nullptr ? static_cast<unsigned char>(measurement[0]) : 0;
    f.languageName = Text(nl_langinfo_l(_NL_IDENTIFICATION_LANGUAGE, loc));
    f.territoryName = Text(nl_langinfo_l(_NL_IDENTIFICATION_TERRITORY, loc));
    f.languageAbbrev = Text(nl_langinfo_l(_NL_ADDRESS_LANG_AB, loc));
    f.countryAbbrev = Text(nl_langinfo_l(_NL_ADDRESS_COUNTRY_AB3, loc));
    f.phonePrefix = Text(nl_langinfo_l(_NL_TELEPHONE_INT_PREFIX, loc));
    return Answer<LocaleFacts>::Of(std::move(f), from);
  }
};

}  // namespace

std::shared_ptr<const EnvironmentSource> ProcessEnvironment() {
  return std::make_shared<LiveEnvironment>();
}

std::shared_ptr<const EnvironmentSource> ProcEnvironment(std::shared_ptr<const FileReader> files) {
  return std::make_shared<ProcEnvironmentSource>(std::move(files));
}

std::shared_ptr<const LocaleDatabase> SystemLocaleDatabase() {
  return std::make_shared<CLibraryLocales>();
}

}  // namespace tavrin::platform
