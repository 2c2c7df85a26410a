// The rules that turn a Windows volume query's answers into a logical drive's properties:
// the drive-string walk, the serial-number text, the file-system flags and the media names.
// Pure functions, so a replayed Windows snapshot decodes the same on any machine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::collectors {

/// Drive types as the platform numbers them (GetDriveType codes).
enum class TMediaType : uint8_t {
  dtUnknown = 0,
  dtNotExists = 1,
  dtRemovable = 2,
  dtFixed = 3,
  dtRemote = 4,
  dtCDROM = 5,
  dtRAMDisk = 6,
};

/// Bits of TFileFlags, in this order.
enum TFileFlag : uint16_t {
  fsCaseIsPreserved = 1u << 0,
  fsCaseSensitive = 1u << 1,
  fsUnicodeStoredOnDisk = 1u << 2,
  fsPersistentAcls = 1u << 3,
  fsFileCompression = 1u << 4,
  fsVolumeIsCompressed = 1u << 5,
  fsLongFileNames = 1u << 6,
  fsEncryptedFileSystemSupport = 1u << 7,
  fsObjectIDsSupport = 1u << 8,
  fsReparsePointsSupport = 1u << 9,
  fsSparseFilesSupport = 1u << 10,
  fsDiskQuotasSupport = 1u << 11,
};
using TFileFlags = uint16_t;

/// One upper-case letter per drive of a drive-strings buffer ("A:\\\0C:\\\0\0" gives "AC").
std::string AvailableDisksFromDriveStrings(std::u16string_view buffer);

/// "1C2A-3F4B": eight upper-case hexadecimal digits, a dash after the fourth.
std::string VolumeSerialText(uint32_t serial);

/// TFileFlags from the volume flags and the maximum component length; `rootCompressed` is the
/// compressed attribute of the root directory (false when it could not be read).
TFileFlags FileFlagsFromVolume(uint32_t volumeFlags, uint32_t maxComponentLength,
                               bool rootCompressed);

/// A drive-type code as TMediaType: codes 0 to 6 map one to one, any other gives dtUnknown.
TMediaType MediaTypeFromCode(uint32_t code);

}  // namespace tavrin::collectors
