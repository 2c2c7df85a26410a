#include "pages/markup.h"

#include <utility>

namespace tavrin::pages {

std::string StripMarkup(std::string_view text) {
  std::string out;
  bool in_tag = false;
  for (char c : text) {
    if (c == '<') {
      in_tag = true;
    } else if (c == '>' && in_tag) {
      in_tag = false;
    } else if (!in_tag) {
      out += c;
    }
  }
  static constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : kEntities)
    for (std::size_t at = out.find(entity); at != std::string::npos;
         at = out.find(entity, at + plain.size()))
      out.replace(at, entity.size(), plain);
  return out;
}

}  // namespace tavrin::pages
