#include "collectors/os/desktop_proxy_text.h"

#include <charconv>

#include "base/strings.h"
#include "collectors/os/linux_config_text.h"

namespace tavrin::collectors {
namespace {

using base::Trim;

// KDE writes a proxy as "http://host 8080"; lines carry it as "http://host:8080".
std::string KdeAddress(std::string_view value) {
  std::string out(Trim(value));
  if (const auto space = out.rfind(' '); space != std::string::npos) out[space] = ':';
  return out;
}

std::string Name(std::string_view line) {
  return std::string(line.substr(0, line.find('=')));
}

}  // namespace

KdeProxySettings ParseKioslaverc(std::string_view text) {
  KdeProxySettings out;
  bool inSection = false;
  for (std::string_view raw : TextLines(text)) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inSection = line == "[Proxy Settings]";
      continue;
    }
    if (!inSection) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, eq));
    // "key[$e]": flags of the KDE configuration format, not part of the name.
    if (const auto flags = key.find('['); flags != std::string_view::npos)
      key = Trim(key.substr(0, flags));
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key == "ProxyType") {
      int type = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), type);
      out.type = (ec == std::errc() && end == value.data() + value.size() && type >= 0 && type <= 4)
                     ? std::optional<int>(type)
                     : std::nullopt;
    } else if (key == "httpProxy") {
      out.http = KdeAddress(value);
    } else if (key == "httpsProxy") {
      out.https = KdeAddress(value);
    } else if (key == "ftpProxy") {
      out.ftp = KdeAddress(value);
    } else if (key == "socksProxy") {
      out.socks = KdeAddress(value);
    } else if (key == "NoProxyFor") {
      out.noProxyFor = std::string(value);
    } else if (key == "Proxy Config Script") {
      out.script = std::string(value);
    }
  }
  return out;
}

std::vector<std::string> KdeProxyLines(const KdeProxySettings& settings) {
  std::vector<std::string> lines;
  switch (settings.type.value_or(0)) {
    case 1:
      for (auto [name, value] : {std::pair{"http", &settings.http},
                                 {"https", &settings.https},
                                 {"ftp", &settings.ftp},
                                 {"socks", &settings.socks}})
        if (!value->empty()) lines.push_back(std::string(name) + "=" + *value);
      if (!lines.empty() && !settings.noProxyFor.empty())
        lines.push_back("bypass=" + settings.noProxyFor);
      break;
    case 2:
      if (!settings.script.empty()) lines.push_back("pac=" + settings.script);
      break;
    case 3:
      lines.push_back("wpad=auto");
      break;
    default:  // none, or the environment's proxies, which are read from the environment
      break;
  }
  return lines;
}

std::vector<std::string> GnomeProxyLines(const platform::GnomeProxySettings& settings) {
  std::vector<std::string> lines;
  if (settings.mode == "manual") {
    for (auto [name, endpoint] : {std::pair{"http", &settings.http},
                                  {"https", &settings.https},
                                  {"ftp", &settings.ftp},
                                  {"socks", &settings.socks}}) {
      if (endpoint->host.empty()) continue;
      std::string line = std::string(name) + "=" + endpoint->host;
      if (endpoint->port > 0) {
        line += ':';  // appended in steps: GCC 12 warns falsely on ":" + string&&
        line += std::to_string(endpoint->port);
      }
      lines.push_back(std::move(line));
    }
    if (!lines.empty() && !settings.ignoreHosts.empty()) {
      std::string hosts;
      for (const std::string& host : settings.ignoreHosts)
        hosts += (hosts.empty() ? "" : ",") + host;
      lines.push_back("bypass=" + hosts);
    }
  } else if (settings.mode == "auto") {
    // An empty address means the script is discovered on the network.
    lines.push_back(settings.autoconfigUrl.empty() ? "wpad=auto" : "pac=" + settings.autoconfigUrl);
  }
  return lines;
}

void AddProxyLines(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  for (const std::string& line : more) {
    const std::string name = Name(line);
    bool known = false;
    for (const std::string& have : lines) known = known || Name(have) == name;
    if (!known) lines.push_back(line);
  }
}

}  // namespace tavrin::collectors
