// The instance name: one name, derived from the program's file name, shared by the instance
// lock and the activation socket, so copies of the program that reduce to the same name
// share one running instance.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::startup {

/// Prefix of every instance name; the suffix is the reduced program file name.
inline constexpr std::string_view kInstancePrefix = "{8D622ABC-7F4F-49CF-A95A-86F8A21753BA}-local-";

/// The program's file name (no folder) reduced as the instance name uses it: names of ten or
/// more characters become their first six characters plus the extension, lower-cased (A to Z
/// only); shorter names keep their case. Blanks are removed in both cases.
std::string ReducedProgramName(std::string_view fileName);

/// kInstancePrefix followed by the reduced name of `fileName` (a folder part is ignored).
std::string InstanceName(std::string_view fileName);

}  // namespace tavrin::startup
