// The GNOME proxy settings of this machine, read through the settings library bound at run
// time, so the program neither needs the library to build nor to start.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/desktop_proxy.h"
#include "platform/os_environment.h"

namespace tavrin::platform {

inline constexpr const char* kGioLibrary = "libgio-2.0.so.0";
inline constexpr const char* kGnomeProxySchema = "org.gnome.system.proxy";

/// The proxy settings of `schema` (and its ".http", ".https", ".ftp", ".socks" children) read
/// with the settings library `library`. A library that cannot be loaded or lacks a function,
/// or a schema that is not installed, is a failure, never an abort.
Answer<GnomeProxySettings> ReadGnomeProxySettings(const char* library = kGioLibrary,
                                                  const char* schema = kGnomeProxySchema);

/// Why reading the settings now would leave files behind, or nothing when it would not.
/// GNOME's settings store (dconf) creates its runtime flag file the first time a process opens
/// it; a session that runs has made it already, so only then are the settings asked.
std::optional<std::string> SettingsReadWouldWrite(const EnvironmentSource& environment);

/// This machine's desktop proxy settings; `environment` locates the settings store.
std::shared_ptr<const DesktopProxySource> LinuxDesktopProxy(
    std::shared_ptr<const EnvironmentSource> environment);

}  // namespace tavrin::platform
