// Key-path helpers shared by the registry tree and the ".reg" reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"

namespace tavrin::platform {

/// The non-empty components of a backslash path: leading, trailing and doubled backslashes
/// carry no meaning for the registry, so "\A\\B\" is A, B.
std::vector<std::string_view> KeyPathComponents(std::string_view path);
std::string NormalizeKeyPath(std::string_view path);

/// ASCII case folding. Windows folds key and value names through its Unicode upper-case
/// table; ASCII covers the names real keys use, and non-ASCII names still compare exactly.
inline std::string AsciiLower(std::string_view text) {
  return base::Lower(text);
}
using base::EqualsNoCase;
using base::StartsWithNoCase;

}  // namespace tavrin::platform
