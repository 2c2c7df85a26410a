// Writing a report file so that no reader ever sees half of it: the bytes go to a temporary
// file in the target folder, which then takes the final name in one rename. A full disk or a
// killed process leaves at most a stray temporary file, never a truncated report, and an
// earlier report of the same name stays as it was until the new one is complete.
//
// Only regular files are replaced that way. A name that leads to a device, a FIFO or an open
// descriptor (/dev/stdout, /dev/fd/N) is written through, as a shell redirection would, and
// a symbolic link keeps being a link: the file it names is replaced, or created when missing.
#pragma once

#include <string_view>

#include "helpers/interfaces.h"

namespace tavrin::helpers {

/// Writes `bytes` to `fileName`. With `replace` false an existing file of that name is kept
/// and the write fails. On failure the result names the file and the reason.
ReportSaveResult WriteFileAtomically(std::string_view fileName, std::string_view bytes,
                                     bool replace = true);

}  // namespace tavrin::helpers
