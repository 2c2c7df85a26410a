// Value texts of the display pages: modes, screens, monitors and their identification blocks.
#pragma once

#include <string>
#include <vector>

#include "collectors/display/display_types.h"
#include "collectors/display/edid_types.h"
#include "collectors/display/vsi_monitor.h"

namespace tavrin::pages::display_text {

/// "1920 x 1080 at 60.00 Hz", "1920 x 1080i at 50.00 Hz".
std::string TimingText(const collectors::edid::Timing& t);
/// Several modes joined by ", ".
std::string TimingsText(const std::vector<collectors::edid::Timing>& list);
/// "week 12 of 2017", "model year 2019", "2016"; empty for a block too short to say.
std::string MadeText(const collectors::edid::Edid& e);
/// "digital, DisplayPort, 8 bits per colour" or "analog".
std::string InputText(const collectors::edid::Edid& e);
/// "53 x 30 cm", "aspect ratio 1.78", or empty when the size is variable.
std::string SizeText(const collectors::edid::Edid& e);
/// "256 bytes, checksum valid", "checksum wrong (0x12, should be 0x34)", "truncated ...".
std::string BlockText(const collectors::edid::Edid& e);
/// "1 (CTA-861 revision 3)", with a wrong checksum of an extension named.
std::string ExtensionsText(const collectors::edid::Edid& e);
/// "50-76 Hz vertical, 30-83 kHz horizontal, up to 170 MHz".
std::string RangeText(const collectors::edid::RangeLimits& r);
/// "red 0.640, 0.330; green ...; white ...".
std::string ChromaticityText(const collectors::edid::Chromaticity& c);
/// "standby, suspend, off"; empty when it supports none.
std::string PowerStatesText(const collectors::edid::Edid& e);
/// "HDMI-1: 1920 x 1080 pixels, 24 bits per pixel, 60 Hz, at 0,0 (primary)".
std::string ScreenText(const collectors::display::Screen& s);
/// "connected, enabled, power on" of a connector.
std::string ConnectorText(const collectors::display::Connector& c);
/// The maker's three letters and product code: "DEL A04A".
std::string IdText(const collectors::edid::Edid& e);
/// "Linear PCM, 2 channels, 32/44.1/48 kHz, 16/20/24 bit" per format, joined by "; ".
std::string AudioText(const std::vector<collectors::edid::AudioFormat>& formats);
/// Speaker positions of the allocation bits: "front left/right, LFE".
std::string SpeakersText(uint32_t bits);

}  // namespace tavrin::pages::display_text
