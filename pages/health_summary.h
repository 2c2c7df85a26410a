// The parts of the General page's health line that judge the disks and the batteries.
#pragma once

#include <string>
#include <vector>

#include "collectors/storage/storage_model.h"
#include "collectors/system/vsi_apm.h"

namespace tavrin::pages {

/// The drives whose S.M.A.R.T. data or NVMe health log warns of failure, that none does, or
/// why no drive's could be read; empty without drives.
std::string DiskHealth(const std::vector<collectors::TDeviceInfo>& disks);

/// The batteries that have lost half their design capacity or more, that none has, or why the
/// wear is not known (`source` says where the batteries came from); empty without batteries.
std::string BatteryHealth(const std::vector<collectors::TBatteryRecord>& batteries,
                          const platform::Provenance& source);

}  // namespace tavrin::pages
