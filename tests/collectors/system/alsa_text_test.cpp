#include "collectors/system/alsa_text.h"

#include <gtest/gtest.h>

namespace tavrin::collectors {
namespace {

TEST(AlsaText, CardListWithSeveralCards) {
  const auto cards = ParseAlsaCards(
      " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
      "                      HDA Intel PCH at 0xf7f10000 irq 33\n"
      " 1 [NVidia         ]: HDA-Intel - HDA NVidia\n"
      "                      HDA NVidia at 0xf7080000 irq 17\n"
      "10 [Device         ]: USB-Audio - USB Audio Device\n"
      "                      C-Media USB Audio Device at usb-0000:00:14.0-2, full speed\n");
  ASSERT_EQ(cards.size(), 3u);
  EXPECT_EQ(cards[0].id, "PCH");
  EXPECT_EQ(cards[0].driver, "HDA-Intel");
  EXPECT_EQ(cards[0].shortName, "HDA Intel PCH");
  EXPECT_EQ(cards[1].longName, "HDA NVidia at 0xf7080000 irq 17");
  EXPECT_EQ(cards[2].index, 10);
  EXPECT_EQ(cards[2].driver, "USB-Audio");
  EXPECT_TRUE(ParseAlsaCards("--- no soundcards ---\n").empty());
}

TEST(AlsaText, PcmDevicesNodesAndMidiInfo) {
  const auto pcm = ParseAlsaPcm(
      "00-00: ALC892 Analog : ALC892 Analog : playback 1 : capture 1\n"
      "00-03: HDMI 0 : HDMI 0 : playback 1\n"
      "garbage line\n"
      "01-00: USB Audio : USB Audio : capture 2\n");
  ASSERT_EQ(pcm.size(), 3u);
  EXPECT_EQ(pcm[0].name, "ALC892 Analog");
  EXPECT_EQ(pcm[0].playback, 1);
  EXPECT_EQ(pcm[0].capture, 1);
  EXPECT_EQ(pcm[1].device, 3);
  EXPECT_EQ(pcm[1].capture, 0);
  EXPECT_EQ(pcm[2].card, 1);
  EXPECT_EQ(pcm[2].capture, 2);

  const auto nodes = ParseAlsaDevices(
      "  1:        : sequencer\n  2: [ 0- 0]: digital audio playback\n"
      "  8: [ 1- 0]: raw midi\n  5: [ 0]   : control\n 33:        : timer\n");
  ASSERT_EQ(nodes.size(), 5u);
  EXPECT_EQ(nodes[0].card, -1);
  EXPECT_EQ(nodes[2].kind, "raw midi");
  EXPECT_EQ(nodes[2].card, 1);
  EXPECT_EQ(nodes[2].device, 0);
  EXPECT_EQ(nodes[3].kind, "control");
  EXPECT_EQ(nodes[3].card, 0);
  EXPECT_EQ(nodes[3].device, -1);

  const auto midi =
      ParseAlsaMidiInfo("UM-ONE\n\nOutput 0\n  Tx bytes     : 0\nInput 0\n  Rx bytes : 0\n");
  EXPECT_EQ(midi.name, "UM-ONE");
  EXPECT_TRUE(midi.output);
  EXPECT_TRUE(midi.input);
}

}  // namespace
}  // namespace tavrin::collectors
