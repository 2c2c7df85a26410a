// The JSON form of the input/output answers that are not file reads (the id file excerpt, the
// sound server, the power daemon's estimates, the Bluetooth service, the print queues), kept
// in a snapshot's io.json.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/audio.h"
#include "platform/bluetooth.h"
#include "platform/power.h"
#include "platform/printers.h"

namespace tavrin::platform {

inline constexpr const char* kInputOutputFile = "io.json";

nlohmann::json ToJson(const PowerEstimates& e);
nlohmann::json ToJson(const BluetoothRecord& r);
nlohmann::json ToJson(const std::vector<PrinterRecord>& list);

// Readers: a field of the wrong type throws SnapshotFileError naming `file`.
PowerEstimates EstimatesFromJson(const nlohmann::json& j, const std::string& file);
BluetoothRecord BluetoothFromJson(const nlohmann::json& j, const std::string& file);
std::vector<PrinterRecord> PrintersFromJson(const nlohmann::json& j, const std::string& file);

/// A printer of a Windows machine's spooler list, with what its driver query answered.
struct WindowsPrinterEntry {
  WindowsPrinterInfo info;
  bool isDefault = false;  ///< listed when the spooler is asked for the default printer
  Answer<WindowsDriverInfo> driver;
};

/// The answers of a Windows machine's Bluetooth, multimedia, power and spooler calls, kept
/// under "windows" in io.json. Missing keys answer "not recorded in the snapshot".
struct WindowsInputOutput {
  Answer<std::vector<WindowsBluetoothDevice>> bluetooth;
  /// Per family, in MultimediaFamily order: each device's capabilities or why not.
  Answer<std::array<std::vector<Answer<MultimediaCapsRecord>>, 6>> multimedia;
  Answer<std::string> processorPower;     ///< the PROCESSOR_POWER_INFORMATION array's bytes
  Answer<std::string> systemPowerStatus;  ///< the SYSTEM_POWER_STATUS bytes
  Answer<std::vector<WindowsPrinterEntry>> printers;
};

WindowsInputOutput WindowsInputOutputFromJson(const nlohmann::json& windows,
                                              const std::string& file);

/// The answer stored under `key`, its value read by `read`; "not recorded in the snapshot"
/// when the key is absent.
template <class T, class Read>
Answer<T> AnswerFromJson(const nlohmann::json& root, const char* key, const std::string& file,
                         Read read);

}  // namespace tavrin::platform

#include "platform/snapshot_json.h"

namespace tavrin::platform {

template <class T, class Read>
Answer<T> AnswerFromJson(const nlohmann::json& root, const char* key, const std::string& file,
                         Read read) {
  auto it = root.find(key);
  if (it == root.end())
    return Answer<T>::Fail(Status::NotSupported, key, "not recorded in the snapshot");
  auto source = ProvenanceFromJson(*it);
  if (!source) throw SnapshotFileError(file + ": entry \"" + key + "\" is not an answer");
  Answer<T> answer{std::nullopt, *source};
  if (source->ok()) {
    if (!it->contains("value"))
      throw SnapshotFileError(file + ": entry \"" + key + "\" has no value");
    answer.value = read((*it)["value"]);
  }
  return answer;
}

}  // namespace tavrin::platform
