// The desktop's own proxy settings that only a running session can answer.
//
// GNOME keeps its proxy settings in the binary settings database of the logged-in user, read
// through the desktop's settings library. A recording keeps the settings it read, so a replay
// shows the same proxy rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

/// The GNOME proxy settings as the settings library holds them.
struct GnomeProxySettings {
  struct Endpoint {
    std::string host;
    int port = 0;
  };
  std::string mode;           ///< "none", "manual" or "auto"
  std::string autoconfigUrl;  ///< the PAC address of mode "auto" (empty: discover it)
  std::vector<std::string> ignoreHosts;
  Endpoint http, https, ftp, socks;
};

class DesktopProxySource {
 public:
  virtual ~DesktopProxySource() = default;
  /// The GNOME settings; a failure when the settings library or its proxy schema is absent.
  virtual Answer<GnomeProxySettings> GnomeProxy() const = 0;
};

/// A platform without desktop settings: every answer is "not supported".
std::shared_ptr<const DesktopProxySource> UnsupportedDesktopProxy(std::string why);

}  // namespace tavrin::platform
