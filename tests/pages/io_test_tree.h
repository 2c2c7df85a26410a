// A small machine for the I/O page, as the kernel would show it: a USB 2.0 controller with a
// hub, a keyboard and a mass-storage stick behind it, one ALSA card, a battery and a mains
// supply, one processor's cpufreq and cpuidle folders, and an excerpt of usb.ids.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/services.h"

namespace tavrin::testing {

/// Writes the tree below `root` at the machine's paths (root/sys/..., root/proc/...).
void WriteIoTestTree(const std::filesystem::path& root);

/// The answers that are not files (sound server, Bluetooth, printers, power daemon) as the
/// snapshot's io.json holds them; the USB id excerpt is read from the tree's usb.ids.
std::string IoTestTreeAnswers(const std::filesystem::path& root);

/// Services reading the tree at `root` through the Linux readers, with the fixed answers of
/// IoTestTreeAnswers for what is not a file.
std::shared_ptr<const platform::Services> IoTestTreeServices(const std::filesystem::path& root);

/// Makes `dir` a snapshot of the same machine: the tree under files/, io.json, a manifest.
void WriteIoTestSnapshot(const std::filesystem::path& dir);

}  // namespace tavrin::testing
