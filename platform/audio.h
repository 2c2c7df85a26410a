// Sound: the ALSA cards of the kernel with their PCM, MIDI and control devices, and which
// sound server runs for the user. Texts are handed over as the kernel writes them.
#pragma once

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

class AudioService {
 public:
  virtual ~AudioService() = default;
  virtual Answer<AudioRecord> Sound() const = 0;
  /// The sound server that answers on the user's socket: "PipeWire", "PulseAudio".
  virtual Answer<std::string> SoundServer() const = 0;
};

}  // namespace tavrin::platform
