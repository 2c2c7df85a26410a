#include "collectors/os/runtime_versions.h"

#include "base/strings.h"

namespace tavrin::collectors {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A version at the start of `text`: digits, then at least one ".digits".
std::size_t VersionLength(std::string_view text) {
  std::size_t i = 0, dots = 0;
  while (i < text.size()) {
    std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == start) {
      if (dots > 0 && text[i - 1] == '.') --i;  // a trailing dot is not part of it
      break;
    }
    if (i < text.size() && text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1])) {
      ++i;
      ++dots;
      continue;
    }
    break;
  }
  return dots > 0 ? i : 0;
}

}  // namespace

std::string UpstreamVersion(std::string_view v) {
  v = base::Trim(v);
  if (const auto colon = v.find(':'); colon != std::string_view::npos && colon < 4)
    v.remove_prefix(colon + 1);
  if (const auto dash = v.rfind('-'); dash != std::string_view::npos && dash > 0)
    v = v.substr(0, dash);
  for (std::string_view mark : {"+dfsg", "+ds", "~"})
    if (const auto at = v.find(mark); at != std::string_view::npos && at > 0) v = v.substr(0, at);
  return std::string(v);
}

std::string VersionInOutput(std::string_view output) {
  if (const auto distrib = output.find("Distrib "); distrib != std::string_view::npos)
    output.remove_prefix(distrib + 8);
  for (std::size_t i = 0; i < output.size(); ++i) {
    if (!IsDigit(output[i])) continue;
    // Only at a word start ("v18.19.0" and "(v5.36.0)" count, "x86_64" does not).
    if (i > 0 && !base::IsBlankOrControl(output[i - 1]) && output[i - 1] != 'v' &&
        output[i - 1] != '(' && output[i - 1] != '"')
      continue;
    const std::size_t length = VersionLength(output.substr(i));
    if (length > 0) return std::string(output.substr(i, length));
  }
  return {};
}

std::string JavaReleaseVersion(std::string_view releaseFile) {
  while (!releaseFile.empty()) {
    const auto eol = releaseFile.find('\n');
    std::string_view line = base::Trim(releaseFile.substr(0, eol));
    releaseFile = eol == std::string_view::npos ? std::string_view{} : releaseFile.substr(eol + 1);
    if (!line.starts_with("JAVA_VERSION=")) continue;
    return std::string(base::Trim(line.substr(13), "\""));
  }
  return {};
}

}  // namespace tavrin::collectors
