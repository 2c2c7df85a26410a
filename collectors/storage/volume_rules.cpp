#include "collectors/storage/volume_rules.h"

#include <cstdio>

namespace tavrin::collectors {

std::string AvailableDisksFromDriveStrings(std::u16string_view buffer) {
  std::string letters;
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    const char16_t c = buffer[i];
    if (c == 0 && i + 1 < buffer.size() && buffer[i + 1] == 0) break;
    if (c >= u'a' && c <= u'z')
      letters.push_back(static_cast<char>(c - u'a' + 'A'));
    else if (c >= u'A' && c <= u'Z')
      letters.push_back(static_cast<char>(c));
  }
  return letters;
}

std::string VolumeSerialText(uint32_t serial) {
  char text[10];
  std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
  return text;
}

TFileFlags FileFlagsFromVolume(uint32_t f, uint32_t maxComponentLength, bool rootCompressed) {
  // Volume flag bits as the platform defines them (FILE_CASE_SENSITIVE_SEARCH = 0x1 ...).
  TFileFlags flags = 0;
  if (f & 0x1) flags |= fsCaseSensitive;
  if (f & 0x2) flags |= fsCaseIsPreserved;
  if (f & 0x4) flags |= fsUnicodeStoredOnDisk;
  if (f & 0x8) flags |= fsPersistentAcls;
  if (f & 0x10) {
    flags |= fsFileCompression;
    if (rootCompressed) flags |= fsVolumeIsCompressed;
  } else if (f & 0x8000) {
    flags |= fsVolumeIsCompressed;
  }
  if (maxComponentLength == 255) flags |= fsLongFileNames;
  if (f & 0x20000) flags |= fsEncryptedFileSystemSupport;
  if (f & 0x10000) flags |= fsObjectIDsSupport;
  if (f & 0x80) flags |= fsReparsePointsSupport;
  if (f & 0x40) flags |= fsSparseFilesSupport;
  if (f & 0x20) flags |= fsDiskQuotasSupport;
  return flags;
}

TMediaType MediaTypeFromCode(uint32_t code) {
  return code <= 6 ? static_cast<TMediaType>(code) : TMediaType::dtUnknown;
}

}  // namespace tavrin::collectors
