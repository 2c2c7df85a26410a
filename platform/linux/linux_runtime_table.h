// The runtimes the software service looks for: which programs stand for them and how each says
// its version.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace tavrin::platform {

struct RuntimeProgramRule {
  std::string_view id;
  /// Program names, most specific first; the first one found in the program folders counts.
  std::vector<std::string_view> programs;
  /// Arguments that make it print its version.
  std::vector<std::string_view> versionArgs;
  /// A file relative to the folder above the program's own that states the version
  /// ("release" of a JDK), empty when the runtime ships none.
  std::string_view versionFile;
};

std::span<const RuntimeProgramRule> RuntimeProgramRules();

/// The folders programs are looked for in, in search order.
std::span<const std::string_view> ProgramFolders();

}  // namespace tavrin::platform
