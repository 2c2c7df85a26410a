// Reading versions out of package versions, version files and what programs print.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::collectors {

/// The upstream part of a package version: without the epoch ("1:"), the packaging revision
/// (after the last '-') and repacking marks ("+dfsg", "+ds", "~"): "1:3.11.2-1+b1" -> "3.11.2".
std::string UpstreamVersion(std::string_view packageVersion);

/// The first version number in a program's answer ("Python 3.11.2" -> "3.11.2",
/// "v18.19.0" -> "18.19.0"); for MySQL and MariaDB clients the one after "Distrib".
std::string VersionInOutput(std::string_view output);

/// JAVA_VERSION of a JDK's "release" file.
std::string JavaReleaseVersion(std::string_view releaseFile);

}  // namespace tavrin::collectors
