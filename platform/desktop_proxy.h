// The desktop's own proxy settings that only a running session can answer.
//
// GNOME keeps its proxy settings in the binary settings database of the logged-in user, read
// through the desktop's settings library. That is a question about this machine now: a
// snapshot keeps no copy, so only live services are given a source of this kind.
#pragma once

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

}  // namespace tavrin::platform
