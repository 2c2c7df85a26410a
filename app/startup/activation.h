// The activation request a second start sends to the running instance: one line over the
// instance's local socket, answered with one line once the running instance has queued its
// raise-and-focus. A running instance that does not answer is treated as hung.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavrin::startup {

inline constexpr std::string_view kActivationRequest = "activate\n";
inline constexpr std::string_view kActivationReply = "ok\n";
/// How long a second start waits for a hung instance before it gives up.
inline constexpr std::chrono::milliseconds kActivationTimeout{5000};

/// The socket of the instance named `instanceName`, in the session's runtime folder.
std::filesystem::path ActivationSocketPath(std::string_view instanceName);

enum class ActivationResult {
  Acknowledged,  ///< the running instance took the request
  NoListener,    ///< nobody listens (the instance is still starting, or gone)
  TimedOut,      ///< connected, but no answer in time: the instance hangs
};

/// Sends the request to the socket at `path` and waits at most `timeout` for the answer.
ActivationResult SendActivation(const std::filesystem::path& path,
                                std::chrono::milliseconds timeout = kActivationTimeout);

}  // namespace tavrin::startup
