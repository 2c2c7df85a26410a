// libFuzzer target: the ".reg" reader and the settings INI reader over arbitrary bytes. Both
// fill a registry tree, so key paths, value notations, continuation lines and deep keys are
// all reached; the first byte chooses the reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/settings_file.h"
#include "platform/reg_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    tavrin::platform::RegistryTree tree;
    (void)tavrin::platform::ParseRegText(text, tree);
  } else {
    (void)tavrin::platform::ParseSettingsIni(text);
  }
  return 0;
}
