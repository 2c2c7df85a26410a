// UTF-8 <-> UTF-16 conversion for registry strings, which Windows keeps as UTF-16LE.
//
// Registry data comes from snapshots of other machines and from hand-written files, so every
// function here accepts any input: an invalid sequence becomes U+FFFD instead of an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::platform {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
bool IsValidUtf8(std::string_view text);

/// Code units of little-endian bytes; an odd last byte is dropped.
std::u16string Utf16FromLeBytes(const uint8_t* data, std::size_t size);
void AppendUtf16LeBytes(std::u16string_view units, std::vector<uint8_t>& out);

}  // namespace tavrin::platform
