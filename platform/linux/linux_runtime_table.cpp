#include "platform/linux/linux_runtime_table.h"

namespace tavrin::platform {

std::span<const RuntimeProgramRule> RuntimeProgramRules() {
  static const RuntimeProgramRule kRules[] = {
      {"python", {"python3", "python"}, {"--version"}, {}},
      {"java", {"java"}, {"-version"}, "release"},
      {"perl", {"perl"}, {"-e", "print substr($^V, 1)"}, {}},
      {"node", {"node", "nodejs"}, {"--version"}, {}},
      {"dotnet", {"dotnet"}, {"--version"}, {}},
      {"mono", {"mono"}, {"--version"}, {}},
      {"ruby", {"ruby"}, {"--version"}, {}},
      {"php", {"php"}, {"--version"}, {}},
      {"sqlite", {"sqlite3"}, {"--version"}, {}},
      {"psql", {"psql"}, {"--version"}, {}},
      {"postgres", {"postgres"}, {"--version"}, {}},
      {"mysql", {"mariadb", "mysql"}, {"--version"}, {}},
      {"mysqld", {"mariadbd", "mysqld"}, {"--version"}, {}},
  };
  return kRules;
}

std::span<const std::string_view> ProgramFolders() {
  static constexpr std::string_view kFolders[] = {
      "/usr/local/bin", "/usr/bin", "/bin", "/usr/local/sbin", "/usr/sbin", "/sbin", "/snap/bin"};
  return kFolders;
}

}  // namespace tavrin::platform
