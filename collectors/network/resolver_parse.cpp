#include "collectors/network/resolver_parse.h"

#include <vector>

#include "base/strings.h"
#include "collectors/network/address_text.h"

namespace tavrin::collectors {
namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> out;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r') {
      if (!word.empty()) out.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) out.push_back(std::move(word));
  return out;
}

template <class F>
void ForEachLine(std::string_view text, F&& on) {
  std::size_t at = 0;
  while (at < text.size()) {
    auto end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    on(text.substr(at, end - at));
    at = end + 1;
  }
}

}  // namespace

ResolverConfig ParseResolvConf(std::string_view text) {
  ResolverConfig config;
  ForEachLine(text, [&](std::string_view line) {
    line = base::Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') return;
    auto words = Words(line);
    if (words.size() < 2) return;
    const std::string& key = words[0];
    if (key == "nameserver") {
      config.nameServers.push_back(words[1]);
    } else if (key == "search") {
      config.searchDomains.assign(words.begin() + 1, words.end());
      config.domain.clear();
    } else if (key == "domain") {
      config.searchDomains = {words[1]};
      config.domain = words[1];
    } else if (key == "options") {
      config.options.insert(config.options.end(), words.begin() + 1, words.end());
    }
  });
  return config;
}

bool PointsAtLocalStub(const ResolverConfig& config) {
  if (config.nameServers.empty()) return false;
  for (const auto& server : config.nameServers) {
    auto raw = IpBytes(server);
    if (!raw || !IsLoopbackAddress(*raw)) return false;
  }
  return true;
}

std::string HostDomain(std::string_view hostName, std::string_view hostsText) {
  if (hostName.empty()) return {};
  if (auto dot = hostName.find('.'); dot != std::string_view::npos)
    return std::string(hostName.substr(dot + 1));
  const std::string prefix = std::string(hostName) + ".";
  std::string found;
  ForEachLine(hostsText, [&](std::string_view line) {
    if (!found.empty()) return;
    line = line.substr(0, line.find('#'));
    auto words = Words(line);
    if (words.size() < 3) return;
    bool names = false;
    for (std::size_t i = 1; i < words.size(); ++i) names = names || words[i] == hostName;
    if (!names) return;
    for (std::size_t i = 1; i < words.size(); ++i)
      if (base::StartsWith(words[i], prefix) && words[i].size() > prefix.size()) {
        found = words[i].substr(prefix.size());
        return;
      }
  });
  return found;
}

}  // namespace tavrin::collectors
