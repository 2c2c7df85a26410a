// The process service of a Linux system: processes from the process file system, kernel
// modules as drivers, service units, the top-level windows of an X11 session, and the idle
// time of every processor.
#pragma once

#include <memory>
#include <vector>

#include "platform/file_reader.h"
#include "platform/processes.h"

namespace tavrin::platform {

/// `live`: this machine's files, so the user database of the C library, the service manager
/// on the system bus and the X11 display may be asked as well.
std::shared_ptr<const ProcessService> MakeLinuxProcessService(
    std::shared_ptr<const FileReader> files, bool live);

// The parts of the service, each in its own file.
Answer<std::vector<ProcessRecord>> ReadLinuxProcesses(const FileReader& files, bool live);
Answer<std::vector<DriverRecord>> ReadLinuxKernelModules(const FileReader& files);
/// Service units of the running service manager when `live` and its bus answers, else of the
/// unit files.
Answer<std::vector<ServiceRecord>> ReadLinuxServiceUnits(const FileReader& files, bool live);
Answer<std::vector<ServiceRecord>> ReadUnitFiles(const FileReader& files);
Answer<std::vector<ServiceRecord>> ReadServiceManagerUnits();
Answer<std::vector<WindowRecord>> ReadX11TopLevelWindows();
/// Units of the kernel's time counters (USER_HZ): the auxiliary vector's, else 100.
uint64_t ClockTicksPerSecond(const FileReader& files, bool live);

}  // namespace tavrin::platform
