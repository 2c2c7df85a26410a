#include "collectors/os/runtime_tables.h"

namespace tavrin::collectors {

bool PackageNameMatches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  const char c = pattern.front();
  if (c == '*') {
    for (std::size_t i = 0; i <= name.size(); ++i)
      if (PackageNameMatches(pattern.substr(1), name.substr(i))) return true;
    return false;
  }
  if (c == '#') {
    std::size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
    for (std::size_t i = digits; i >= 1; --i)
      if (PackageNameMatches(pattern.substr(1), name.substr(i))) return true;
    return false;
  }
  return !name.empty() && name.front() == c &&
         PackageNameMatches(pattern.substr(1), name.substr(1));
}

std::span<const RuntimeRow> RuntimeRows() {
  static const RuntimeRow kRows[] = {
      {"python", {"python3", "python3-minimal", "python3.#", "python#"}},
      {"java",
       {"openjdk-#-jre-headless", "openjdk-#-jre", "java-#-openjdk-headless", "java-#-openjdk*",
        "default-jre-headless"}},
      {"perl", {"perl", "perl-base", "perl-interpreter"}},
      {"node", {"nodejs"}},
      {"dotnet", {"dotnet-runtime-#.#", "dotnet-runtime-*", "dotnet-host"}},
      {"mono", {"mono-runtime", "mono-core"}},
      {"ruby", {"ruby#.#", "ruby"}},
      {"php", {"php#.#-cli", "php-cli"}},
      {"opengl", {"libgl1-mesa-dri", "mesa-dri-drivers", "Mesa-dri"}},
      {"vulkan", {"libvulkan1", "vulkan-loader", "libvulkan1-*"}},
      {"sqlite", {"libsqlite3-0", "sqlite-libs", "libsqlite3-0-*"}},
      {"postgres", {"postgresql-#", "postgresql-server", "postgresql#-server"}},
      {"psql", {"postgresql-client-#", "postgresql", "postgresql#"}},
      {"mysqld",
       {"mariadb-server-core", "mariadb-server", "mysql-server-core-*", "mysql-server",
        "mariadb-server-#*"}},
      {"mysql",
       {"mariadb-client-core", "mariadb-client", "mysql-client-core-*", "mysql-client", "mariadb"}},
  };
  return kRows;
}

std::span<const ProductRow> BrowserRows() {
  static const ProductRow kRows[] = {
      {"firefox",
       "Mozilla Firefox",
       {"firefox", "firefox-esr", "MozillaFirefox"},
       {"org.mozilla.firefox", "firefox"}},
      {"chromium",
       "Chromium",
       {"chromium", "chromium-browser"},
       {"org.chromium.Chromium", "chromium"}},
      {"chrome",
       "Google Chrome",
       {"google-chrome-stable", "google-chrome-beta"},
       {"com.google.Chrome"}},
      {"edge", "Microsoft Edge", {"microsoft-edge-stable"}, {"com.microsoft.Edge"}},
      {"brave", "Brave", {"brave-browser"}, {"com.brave.Browser", "brave"}},
      {"vivaldi", "Vivaldi", {"vivaldi-stable"}, {"com.vivaldi.Vivaldi", "vivaldi"}},
      {"opera", "Opera", {"opera-stable"}, {"com.opera.Opera", "opera"}},
      {"epiphany", "GNOME Web", {"epiphany-browser", "epiphany"}, {"org.gnome.Epiphany"}},
      {"falkon", "Falkon", {"falkon"}, {"org.kde.falkon"}},
      {"konqueror", "Konqueror", {"konqueror"}, {"org.kde.konqueror"}},
      {"librewolf", "LibreWolf", {"librewolf"}, {"io.gitlab.librewolf-community"}},
  };
  return kRows;
}

std::span<const OfficeSuiteRow> OfficeSuiteRows() {
  static const OfficeSuiteRow kRows[] = {
      {{"libreoffice",
        "LibreOffice",
        {"libreoffice-core", "libreoffice-core-nogui"},
        {"org.libreoffice.LibreOffice", "libreoffice"}},
       {{"Writer", {"libreoffice-writer"}},
        {"Calc", {"libreoffice-calc"}},
        {"Impress", {"libreoffice-impress"}},
        {"Draw", {"libreoffice-draw"}},
        {"Base", {"libreoffice-base"}},
        {"Math", {"libreoffice-math"}}}},
      {{"onlyoffice",
        "ONLYOFFICE Desktop Editors",
        {"onlyoffice-desktopeditors"},
        {"org.onlyoffice.desktopeditors", "onlyoffice-desktopeditors"}},
       {}},
      {{"wps", "WPS Office", {"wps-office"}, {"com.wps.Office"}}, {}},
      {{"calligra", "Calligra", {"calligra", "calligra-core"}, {}},
       {{"Words", {"calligrawords"}},
        {"Sheets", {"calligrasheets"}},
        {"Stage", {"calligrastage"}}}},
      {{"freeoffice", "SoftMaker FreeOffice", {"softmaker-freeoffice-#"}, {}},
       {{"TextMaker", {}}, {"PlanMaker", {}}, {"Presentations", {}}}},
      {{"openoffice", "Apache OpenOffice", {"openoffice#-core", "openoffice-core"}, {}},
       {{"Writer", {"openoffice#-writer"}},
        {"Calc", {"openoffice#-calc"}},
        {"Impress", {"openoffice#-impress"}}}},
  };
  return kRows;
}

}  // namespace tavrin::collectors
