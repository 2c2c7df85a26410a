// libFuzzer target: the language file reader (Lang/*.ini) over arbitrary bytes: sections,
// quoted values, long lines, comments, the code list and the lookups the localizer makes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "helpers/liblocalizer/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tavrin::helpers::LanguageParse parsed = tavrin::helpers::ParseLanguageText(text);
  (void)parsed.file.HasCode("DEU");
  if (const auto* labels = parsed.file.Section("Labels"))
    for (const auto& [key, value] : labels->entries) (void)tavrin::helpers::Folded(key);
  return 0;
}
