// The ALSA driver's own lists, as the kernel writes them: the sound cards, the PCM devices,
// the device nodes and a MIDI device's info text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

struct AlsaCard {
  int index = -1;
  std::string id;         ///< "PCH"
  std::string driver;     ///< "HDA-Intel"
  std::string shortName;  ///< "HDA Intel PCH"
  std::string longName;   ///< "HDA Intel PCH at 0xf7f10000 irq 33"
};

/// " 0 [PCH            ]: HDA-Intel - HDA Intel PCH" followed by an indented long name line.
/// "--- no soundcards ---" gives no card.
std::vector<AlsaCard> ParseAlsaCards(std::string_view text);

struct AlsaPcm {
  int card = 0, device = 0;
  std::string id, name;
  int playback = 0, capture = 0;  ///< substreams each way
};

/// "00-00: ALC892 Analog : ALC892 Analog : playback 1 : capture 1".
std::vector<AlsaPcm> ParseAlsaPcm(std::string_view text);

struct AlsaDeviceNode {
  int card = -1, device = -1;  ///< -1 where the line has none (timer, sequencer)
  std::string kind;            ///< "control", "raw midi", "digital audio playback", ...
};

/// "  2: [ 0- 0]: raw midi", "  0: [ 0]   : control", " 33:        : timer".
std::vector<AlsaDeviceNode> ParseAlsaDevices(std::string_view text);

struct AlsaMidiInfo {
  std::string name;
  bool output = false, input = false;
};

/// A MIDI device's info: its name on the first line, then "Output n" and "Input n" blocks.
AlsaMidiInfo ParseAlsaMidiInfo(std::string_view text);

}  // namespace tavrin::collectors
