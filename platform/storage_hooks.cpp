// Where the storage service plugs into the live, recorded and recording service sets.
// (The snapshot side is LoadRecordedStorage in platform/recorded/recorded_storage.cpp.)
#include "platform/linux/linux_storage.h"
#include "platform/service_hooks.h"

namespace tavrin::platform {

void AddLinuxStorage(Services& services) {
  if (services.files)
    services.storage = MakeSysfsStorageService(services.files, MakeLiveStorageProbes());
}

void RecordStorage(const Services& live, Services& recording, ServiceRecordings& recordings) {
  if (!live.storage || !recording.files) {
    recording.storage = live.storage;
    return;
  }
  recording.storage = RecordStorageProbes(recording.files, MakeLiveStorageProbes(), recordings);
}

}  // namespace tavrin::platform
