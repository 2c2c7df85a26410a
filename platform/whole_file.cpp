#include "platform/whole_file.h"

#include <fstream>
#include <sstream>

namespace tavrin::platform {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t limit) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (!ec && size > limit) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  if (out.str().size() > limit) return std::nullopt;
  return out.str();
}

}  // namespace tavrin::platform
