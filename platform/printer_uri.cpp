#include "platform/printers.h"

namespace tavrin::platform {

std::string UriWithoutCredentials(std::string_view uri) {
  const auto scheme = uri.find("://");
  if (scheme == std::string_view::npos) return std::string(uri);
  const auto authority = scheme + 3;
  const auto end = uri.find_first_of("/?#", authority);
  const auto at = uri.substr(0, end).rfind('@');
  if (at == std::string_view::npos || at < authority) return std::string(uri);
  return std::string(uri.substr(0, authority)) + std::string(uri.substr(at + 1));
}

}  // namespace tavrin::platform
