#include "collectors/system/vsi_media.h"

#include <algorithm>

#include "collectors/system/alsa_text.h"
#include "platform/audio.h"

namespace tavrin::collectors {
namespace {

std::string Address(int card, int device) {
  return "hw:" + std::to_string(card) + "," + std::to_string(device);
}

}  // namespace

void AddOnce(std::vector<std::string>& list, std::string text) {
  if (text.empty() || std::find(list.begin(), list.end(), text) != list.end()) return;
  list.push_back(std::move(text));
}

void TVexa_Media::RefreshData() {
  TVexa_VSIC_Component::RefreshData();
  for (auto* list : {&Devices, &WaveOut, &WaveIn, &MIDIOut, &MIDIIn, &AUX, &Mixer}) list->clear();
  SoundCardIndex = GamePortIndex = -1;
  Cards.clear();
  DriverVersion.clear();
  SoundServer.clear();
  FromWindows = false;
  DevicesSource = {};
  const auto& service = Platform().audio;
  if (!service) {
    Source = SoundServerSource = platform::Provenance::Failure(
        platform::Status::NotSupported, "sound", "the source holds no sound devices");
    return;
  }
  // A Windows machine answers its multimedia API; elsewhere that is not supported.
  if (service->MultimediaDevices(platform::MultimediaFamily::WaveOut).source.status !=
      platform::Status::NotSupported) {
    RefreshWindows(*service);
    return;
  }
  auto sound = service->Sound();
  Source = sound.source;
  if (sound) {
    const auto& s = *sound;
    if (s.version) DriverVersion = *s.version;
    for (const auto& c : ParseAlsaCards(s.cards.value_or({}))) {
      TSoundCard card{c.index, c.id, c.driver, c.shortName, c.longName, {}, {}};
      for (const auto& d : s.cardDetails)
        if (d.index == c.index) {
          card.Module = d.module;
          card.ModuleVersion = d.moduleVersion;
        }
      Cards.push_back(std::move(card));
    }
    auto cardName = [&](int index) {
      for (const auto& c : Cards)
        if (c.Index == index) return c.ShortName.empty() ? c.Id : c.ShortName;
      return std::string();
    };
    for (const auto& c : Cards) AddOnce(Devices, c.LongName.empty() ? c.ShortName : c.LongName);
    if (!Devices.empty()) SoundCardIndex = 0;
    for (const auto& pcm : ParseAlsaPcm(s.pcm.value_or({}))) {
      const std::string text =
          cardName(pcm.card) + ": " + pcm.name + " (" + Address(pcm.card, pcm.device) + ")";
      if (pcm.playback > 0) AddOnce(WaveOut, text);
      if (pcm.capture > 0) AddOnce(WaveIn, text);
    }
    for (const auto& node : ParseAlsaDevices(s.devices.value_or({}))) {
      if (node.card < 0) continue;
      if (node.kind == "control") AddOnce(Mixer, cardName(node.card));
      if (node.kind != "raw midi") continue;
      AlsaMidiInfo info;
      for (const auto& d : s.cardDetails)
        if (d.index == node.card)
          if (auto it = d.midi.find(node.device); it != d.midi.end())
            info = ParseAlsaMidiInfo(it->second);
      const std::string text = cardName(node.card) + ": " +
                               (info.name.empty() ? std::string("MIDI") : info.name) + " (" +
                               Address(node.card, node.device) + ")";
      // Without its info text a MIDI port is listed both ways, as the node serves both.
      if (info.output || info.name.empty()) AddOnce(MIDIOut, text);
      if (info.input || info.name.empty()) AddOnce(MIDIIn, text);
    }
  }
  auto server = service->SoundServer();
  SoundServerSource = server.source;
  if (server) SoundServer = *server;
}

}  // namespace tavrin::collectors
