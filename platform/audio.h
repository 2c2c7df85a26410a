// Sound: the ALSA cards of the kernel with their PCM, MIDI and control devices, and which
// sound server runs for the user. Texts are handed over as the kernel writes them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

struct AudioCardRecord {
  int index = 0;
  std::string module, moduleVersion;  ///< driver module of the card's device, its version
  /// The info text of each MIDI device, by device number.
  std::map<int, std::string> midi;
};

struct AudioRecord {
  Answer<std::string> cards;    ///< the card list text
  Answer<std::string> pcm;      ///< the PCM device list text
  Answer<std::string> devices;  ///< the device node list text (control, rawmidi, timer ...)
  Answer<std::string> version;  ///< the ALSA driver version line
  std::vector<AudioCardRecord> cardDetails;
};

/// The six device families of the Windows multimedia API.
enum class MultimediaFamily { WaveOut, WaveIn, MidiOut, MidiIn, Aux, Mixer };

/// What a Windows multimedia device's capability query tells: its product name and the
/// driver version word (major version in the high byte, minor in the low byte).
struct MultimediaCapsRecord {
  std::string name;
  uint32_t driverVersion = 0;
};

class AudioService {
 public:
  virtual ~AudioService() = default;
  virtual Answer<AudioRecord> Sound() const = 0;
  /// Devices 0 .. n-1 of one Windows multimedia family, each its capabilities or the failure
  /// of its capability query. Not supported elsewhere.
  virtual Answer<std::vector<Answer<MultimediaCapsRecord>>> MultimediaDevices(
      MultimediaFamily family) const = 0;
  /// The sound server that answers on the user's socket: "PipeWire", "PulseAudio".
  virtual Answer<std::string> SoundServer() const = 0;
};

}  // namespace tavrin::platform
