// The memory status of a Linux system, read through the file service: the memory summary, the
// program's auxiliary vector and mappings, and the lowest address a mapping may use.
#pragma once

#include <memory>

#include "platform/file_reader.h"
#include "platform/memory_status.h"

namespace tavrin::platform {

/// `live`: the files are this machine's, so values missing from them may be asked of the
/// C library (the page size when the auxiliary vector cannot be read).
std::shared_ptr<const MemoryStatusService> MakeLinuxMemoryStatus(
    std::shared_ptr<const FileReader> files, bool live);

}  // namespace tavrin::platform
