#include "app/startup/instance_name.h"

#include <cstddef>

namespace tavrin::startup {
namespace {

// Lengths count characters, not bytes, so that a name with accents reduces like its
// spelling suggests.
bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text)
    if (!IsContinuationByte(c)) ++count;
  return count;
}

/// Byte length of the first `characters` characters.
std::size_t PrefixBytes(std::string_view text, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsContinuationByte(text[i])) {
      if (seen == characters) return i;
      ++seen;
    }
  }
  return text.size();
}

std::string_view Extension(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

}  // namespace

std::string ReducedProgramName(std::string_view fileName) {
  if (const auto slash = fileName.rfind('/'); slash != std::string_view::npos)
    fileName.remove_prefix(slash + 1);
  std::string name(fileName);
  if (CharacterCount(fileName) >= 10) {
    name = std::string(fileName.substr(0, PrefixBytes(fileName, 6)));
    name += Extension(fileName);
    for (char& c : name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::string out;
  for (char c : name)
    if (c != ' ') out += c;
  return out;
}

std::string InstanceName(std::string_view fileName) {
  return std::string(kInstancePrefix) + ReducedProgramName(fileName);
}

}  // namespace tavrin::startup
