// Collector of audio devices: the sound cards, their playback, capture, MIDI and mixer
// devices, and the sound server in use.
#pragma once

#include <string>
#include <vector>

#include "collectors/collector.h"

namespace tavrin::platform {
class AudioService;
}

namespace tavrin::collectors {

/// A sound card and the driver that runs it.
struct TSoundCard {
  int Index = -1;
  std::string Id, Driver, ShortName, LongName;
  std::string Module, ModuleVersion;  ///< kernel module of the card's device, its version
};

class TVexa_Media : public collectors::TVexa_VSIC_Component {
 public:
  explicit TVexa_Media(std::shared_ptr<const platform::Services> services)
      : TVexa_VSIC_Component("TVexa_Media", "Media", std::move(services)) {}

  void RefreshData() override;

  /// Each list holds a text once, in the order found.
  std::vector<std::string> Devices, WaveOut, WaveIn, MIDIOut, MIDIIn, AUX, Mixer;
  int32_t SoundCardIndex = -1, GamePortIndex = -1;

  // What the Linux source adds.
  std::vector<TSoundCard> Cards;
  std::string DriverVersion;  ///< the sound system's version line
  std::string SoundServer;    ///< "PipeWire", "PulseAudio"; empty when none answers
  platform::Provenance Source, SoundServerSource;

  // What a Windows source adds.
  bool FromWindows = false;            ///< the lists come from the Windows multimedia API
  platform::Provenance DevicesSource;  ///< why the device list is empty

 private:
  void RefreshWindows(const platform::AudioService& service);
};

/// Adds `text` to `list` unless the list holds it already.
void AddOnce(std::vector<std::string>& list, std::string text);

}  // namespace tavrin::collectors
