// The desktops' proxy settings as proxy lines: KDE's kioslaverc text and GNOME's settings
// become the same "name=value" lines the environment's proxies give ("http=proxy:3128"),
// with "pac=" for a configuration script, "wpad=auto" for discovery and "bypass=" for the
// hosts reached without a proxy.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop_proxy.h"

namespace tavrin::collectors {

/// KDE's [Proxy Settings] of kioslaverc.
struct KdeProxySettings {
  /// 0 none, 1 manual, 2 configuration script, 3 discovery (WPAD), 4 from the environment;
  /// empty when the file has no such section or no readable ProxyType.
  std::optional<int> type;
  std::string http, https, ftp, socks;
  std::string noProxyFor;
  std::string script;  ///< "Proxy Config Script"
};

/// The [Proxy Settings] section of a kioslaverc text. Keys may carry KDE's "[$e]" style flags;
/// lines outside the section and lines that are not "key=value" are ignored.
KdeProxySettings ParseKioslaverc(std::string_view text);

/// The proxy lines KDE's settings stand for. Type 4 gives none: those proxies are the
/// environment's, which is read on its own.
std::vector<std::string> KdeProxyLines(const KdeProxySettings& settings);

/// The proxy lines GNOME's settings stand for.
std::vector<std::string> GnomeProxyLines(const platform::GnomeProxySettings& settings);

/// `lines` followed by the lines of `more` whose name (the text before "=") is not already
/// there: what comes first wins.
void AddProxyLines(std::vector<std::string>& lines, const std::vector<std::string>& more);

}  // namespace tavrin::collectors
