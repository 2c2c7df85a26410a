// Hand-written registry snapshots of Windows versions, each gathered by the operating-system
// collector and compared with its labeled expected output. TAVRIN_REWRITE_GOLDENS=1 rewrites
// the expected files after an intended change.
#include <gtest/gtest.h>

#include "collectors/os/os_dates.h"
#include "collectors/os/vsi_operating_system.h"
#include "platform/recorded/snapshot.h"
#include "tests/support/golden.h"

namespace tavrin::collectors {
namespace {

const std::filesystem::path kFixtures =
    std::filesystem::path(TAVRIN_SOURCE_DIR) / "tests/fixtures/os";

const char* VersionName(TOSVersion v) {
  static const char* names[] = {"osUnknown", "os95",   "os98",  "osME",    "osNT4", "os2K",
                                "osXP",      "osXP64", "os2K3", "osVista", "os2K8", "osSeven"};
  return names[static_cast<int>(v)];
}

const char* ProductTypeName(TNtProductType t) {
  static const char* names[] = {"ptUnknown",        "ptWorkStation", "ptServer",
                                "ptAdvancedServer", "ptDataCenter",  "ptWeb"};
  return names[static_cast<int>(t)];
}

std::string SuiteNames(TNTSuites s) {
  static const char* names[] = {"suSmallBusiness",  "suEnterprise", "suBackOffice",
                                "suCommunications", "suTerminal",   "suSmallBusinessRestricted",
                                "suEmbeddedNT",     "suDataCenter", "suSingleUserTS",
                                "suPersonal",       "suBlade",      "suEmbeddedRestricted"};
  std::string out;
  for (int i = 0; i < 12; ++i)
    if (s.Has(static_cast<TNTSuite>(i))) out += (out.empty() ? "" : " ") + std::string(names[i]);
  return out;
}

std::string Facts(const OsIdentification& id) {
  std::string out;
  auto add = [&out](bool on, const char* name) {
    if (on) out += (out.empty() ? "" : " ") + std::string(name);
  };
  add(id.isNT, "NT");
  add(id.isNT4, "NT4");
  add(id.laterThanNT4, "LaterThanNT4");
  add(id.is95, "95");
  add(id.is98, "98");
  add(id.is2000, "2000");
  add(id.is95OSR2, "95OSR2");
  add(id.is98SE, "98SE");
  add(id.isME, "ME");
  add(id.isXP, "XP");
  add(id.isXP64, "XP64");
  add(id.is2003, "2003");
  add(id.isVista, "Vista");
  add(id.isSeven, "Seven");
  return out;
}

std::string Describe(const TVexa_OperatingSystem& os) {
  std::ostringstream out;
  auto line = [&out](const std::string& key, const std::string& value) {
    out << key << ": " << value << "\n";
  };
  line("OSName", os.OSName);
  line("OSEdition", os.OSEdition);
  line("FullName", os.Identification().fullName);
  line("OS", VersionName(os.OS));
  line("Platform", std::to_string(static_cast<int>(os.Platform)));
  line("Version", std::to_string(os.MajorVersion) + "." + std::to_string(os.MinorVersion) + "." +
                      std::to_string(os.BuildNumber));
  line("CSD", os.CSD);
  line("ProductType", ProductTypeName(os.Identification().productType));
  line("Suites", SuiteNames(os.Identification().suites));
  line("Facts", Facts(os.Identification()));
  line("RegisteredUser", os.RegisteredUser);
  line("RegisteredOrg", os.RegisteredOrg);
  line("ProductID", os.ProductID);
  line("CurrentType", os.Version);
  line("BuildLab", os.BuildLab);
  line("InstallDate", os.ValueSources().installDate.ok() ? DateTimeText(os.InstallDate) : "");
  line("DVDRegion", os.DVDRegion);
  line("LanguageID", os.LanguageID);
  const auto& tz = os.TimeZone();
  line("TimeZone.DisplayName", tz.DisplayName);
  line("TimeZone.Names", tz.StandardName + " / " + tz.DaylightName);
  line("TimeZone.Bias", std::to_string(tz.Bias) + " standard " + std::to_string(tz.StandardBias) +
                            " daylight " + std::to_string(tz.DaylightBias));
  line("TimeZone.2024", (tz.DaylightStart != 0 ? DateTimeText(tz.DaylightStart) : "-") + " / " +
                            (tz.StandardStart != 0 ? DateTimeText(tz.StandardStart) : "-"));
  const auto& nt = os.NTSpecific();
  line("NT.ProductType", ProductTypeName(nt.ProductType));
  line("NT.ServicePack", std::to_string(nt.ServicePackMajorVersion) + "." +
                             std::to_string(nt.ServicePackMinorVersion));
  line("NT.Suites", SuiteNames(nt.InstalledSuites));
  for (const UpdateRecord& u : nt.Updates)
    line("NT.Update", u.ID + " | " + u.Description + " | " + u.InstallDate);
  line("Vista", std::string(os.VistaSpecific().UserAccountControl ? "UAC" : "-") + " " +
                    (os.VistaSpecific().Virtualization ? "Virtualization" : "-"));
  const auto& net = os.Internet();
  line("Browser", net.DefaultBrowserName + " | " + net.DefaultBrowser);
  line("Mail", net.DefaultMailClientName + " | " + net.DefaultMailClient);
  line("Connection", std::to_string(static_cast<int>(net.ConnectionType)));
  for (const std::string& p : net.ProxyServer) line("Proxy", p);
  const auto& l = os.LocaleInfo();
  line("Locale.Language", l.FullLocalizeLanguage + " | " + l.FullLanguageEnglishName + " | " +
                              l.AbbreviateLanguageName);
  line("Locale.Country",
       l.FullCountryCode + " | " + l.CountryCode + " | " + l.AbbreviateCountryCode);
  line("Locale.Numbers",
       l.DecimalSeparator + " " + l.DecimalThousandSeparator + " " + l.ListSeparator);
  line("Locale.Currency", l.LocalMonetarySymbol + " " +
                              std::to_string(static_cast<int>(l.PositiveCurrencyMode)) + " " +
                              l.NegativeCurrencyMode);
  line("Locale.Dates", l.ShortDateFormat + " | " + l.LongDateFormat + " | " + l.TimeFormat +
                           " | order " + std::to_string(static_cast<int>(l.ShortDateOrder)) + " " +
                           std::to_string(static_cast<int>(l.LongDateOrder)));
  for (const std::string& f : os.Folders)
    if (f.back() != '=') line("Folder", f);
  return out.str();
}

class WindowsSnapshotGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(WindowsSnapshotGolden, MatchesExpected) {
  const auto dir = kFixtures / GetParam();
  auto opened = platform::OpenSnapshot(dir);
  ASSERT_TRUE(opened.services) << opened.error;
  EXPECT_TRUE(opened.warnings.empty()) << opened.warnings.front();
  auto services = std::make_shared<const platform::Services>(std::move(*opened.services));
  TVexa_OperatingSystem os(services);
  os.TimeZone().year = 2024;  // transitions of a fixed year keep the expected text stable
  os.RefreshData();
  const std::string actual = Describe(os);

  EXPECT_TRUE(testing::MatchesGolden(dir / "expected.txt", actual));
}

INSTANTIATE_TEST_SUITE_P(Versions, WindowsSnapshotGolden,
                         ::testing::Values("win95", "win98se", "nt4", "win2000", "xp", "xp-x64",
                                           "server2003", "vista", "seven", "unknown-newer"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

}  // namespace
}  // namespace tavrin::collectors
