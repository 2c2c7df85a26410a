// What a monitor's identification block (VESA E-EDID 1.x with its extension blocks) says,
// decoded into raw units. The decoder fills it from bytes alone (edid_decode.h); pages format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::collectors::edid {

/// Where a mode of the block was listed.
enum class TimingOrigin : uint8_t {
  kDetailed,     ///< an 18-byte detailed timing descriptor (base block or CTA-861)
  kEstablished,  ///< a bit of the established timings I and II
  kStandard,     ///< a 2-byte standard timing
  kCtaVic,       ///< a video identification code of a CTA-861 video data block
  kDisplayId,    ///< a DisplayID detailed timing
};

/// One display mode the monitor lists.
struct Timing {
  uint16_t width = 0, height = 0;  ///< active pixels and lines (a frame's lines when interlaced)
  double refreshHz = 0;            ///< field rate, as monitors are marketed
  bool interlaced = false;
  TimingOrigin origin = TimingOrigin::kDetailed;
  uint32_t pixelClockKHz = 0;                    ///< 0 where the listing gives no clock
  uint16_t imageWidthMm = 0, imageHeightMm = 0;  ///< detailed timings only; 0 not given
  bool preferred = false;                        ///< marked as the preferred mode by its block
  bool native = false;                           ///< marked native by a CTA-861 block
  uint8_t vic = 0;  ///< CTA-861 video identification code, 0 for other origins
};

/// Display range limits descriptor (tag FDh).
struct RangeLimits {
  uint16_t minVerticalHz = 0, maxVerticalHz = 0;
  uint16_t minHorizontalKHz = 0, maxHorizontalKHz = 0;
  uint16_t maxPixelClockMHz = 0;  ///< 0 when not given
};

/// CIE 1931 xy coordinates of the primaries and white point, 10-bit fractions as doubles.
struct Chromaticity {
  double redX = 0, redY = 0, greenX = 0, greenY = 0, blueX = 0, blueY = 0, whiteX = 0, whiteY = 0;
};

/// A short audio descriptor of a CTA-861 audio data block.
struct AudioFormat {
  uint8_t code = 0;  ///< audio format code (1 linear PCM, 2 AC-3, ...)
  uint8_t maxChannels = 0;
  std::vector<uint32_t> sampleRatesHz;
  std::vector<uint8_t> sampleSizesBits;  ///< linear PCM only
  uint16_t maxBitrateKbps = 0;           ///< compressed formats 2..8 only
};

/// A CTA-861 extension block.
struct CtaBlock {
  uint8_t revision = 0;
  bool underscan = false, basicAudio = false, ycbcr444 = false, ycbcr422 = false;
  uint8_t nativeDetailedCount = 0;  ///< how many of its detailed timings are native
  std::vector<Timing> videoCodes;   ///< the video data blocks' modes, in block order
  std::vector<AudioFormat> audio;
  std::optional<uint32_t> speakerAllocation;  ///< the speaker allocation bits, first 3 bytes
  std::vector<uint32_t> vendorOuis;           ///< IEEE OUIs of the vendor-specific blocks
  bool hdmi = false;                          ///< an HDMI vendor-specific block is present
  std::vector<Timing> detailed;
  bool malformed = false;  ///< a data block ran past the block's data area
};

/// A DisplayID extension block (one section).
struct DisplayIdBlock {
  uint8_t version = 0;  ///< 0x12 for 1.2, 0x20 for 2.0
  std::vector<Timing> detailed;
  std::optional<double> imageWidthMm, imageHeightMm;  ///< from the display parameters block
  bool malformed = false;
};

/// One 128-byte extension block as found after the base block.
struct ExtensionBlock {
  uint8_t tag = 0;  ///< 02h CTA-861, 10h VTB, 40h DI, 70h DisplayID, F0h block map
  bool checksumOk = false;
  uint8_t checksum = 0;  ///< as stored
  std::optional<CtaBlock> cta;
  std::optional<DisplayIdBlock> displayId;
};

enum class DigitalInterface : uint8_t {
  kUndefined,
  kDvi,
  kHdmiA,
  kHdmiB,
  kMddi,
  kDisplayPort,
  kOther
};

struct Edid {
  // How much of the data can be trusted.
  std::size_t length = 0;        ///< bytes handed to the decoder
  bool headerOk = false;         ///< the fixed 00 FF FF FF FF FF FF 00 pattern
  bool baseChecksumOk = false;   ///< false for a short block too
  uint8_t checksum = 0;          ///< as stored in byte 127
  uint8_t expectedChecksum = 0;  ///< what would make the block sum to 0
  /// True when the data is shorter than one block: only the bytes present were decoded.
  bool truncated() const { return length < 128; }

  // Vendor and product identification.
  std::string manufacturerId;     ///< three letters, "DEL"; empty for a short block
  uint16_t manufacturerCode = 0;  ///< bytes 8..9 as a little-endian word (the raw id)
  uint16_t productCode = 0;
  uint32_t serialNumber = 0;  ///< 0: not given
  uint8_t week = 0;           ///< 0 not given; FFh means `year` is a model year
  uint16_t year = 0;          ///< byte 17 + 1990; 0 for a short block
  bool modelYear = false;
  uint8_t version = 0, revision = 0;

  // Basic display parameters.
  bool digital = false;
  uint8_t bitsPerColor = 0;  ///< EDID 1.4 digital input; 0 undefined
  DigitalInterface interface = DigitalInterface::kUndefined;
  uint8_t analogSignalLevel = 0;  ///< analog: bits 6..5 of byte 20
  bool analogSeparateSync = false, analogCompositeSync = false, analogSyncOnGreen = false;
  uint8_t widthCm = 0, heightCm = 0;  ///< both 0: size unknown or variable
  std::optional<double> aspectRatio;  ///< EDID 1.4: one of the sizes 0 gives a ratio instead
  std::optional<double> gamma;        ///< absent when FFh (given by an extension)
  uint8_t gammaByte = 0;
  bool dpmsStandby = false, dpmsSuspend = false, dpmsOff = false;
  uint8_t colorType = 0;  ///< bits 4..3 of byte 24, meaning depends on `digital`
  bool srgbDefault = false, preferredTimingNative = false, continuousFrequency = false;
  Chromaticity chromaticity;

  // Modes, in block order.
  std::vector<Timing> established;
  std::vector<Timing> standard;
  std::vector<Timing> detailed;  ///< the base block's detailed timing descriptors

  // Descriptor texts, trimmed; several descriptors of one kind are joined without a separator.
  std::string name;        ///< monitor name (FCh)
  std::string serialText;  ///< serial number text (FFh)
  std::string dataString;  ///< alphanumeric data string (FEh)
  std::optional<RangeLimits> rangeLimits;

  // Extension blocks.
  uint8_t extensionCount = 0;              ///< byte 126: what the block announces
  std::vector<ExtensionBlock> extensions;  ///< the announced blocks that are present
  std::size_t extraBlocks = 0;  ///< whole blocks present beyond the announced count (ignored)

  /// The first detailed timing: the monitor's preferred mode (EDID 1.3 and later require it).
  std::optional<Timing> preferred;
};

}  // namespace tavrin::collectors::edid
