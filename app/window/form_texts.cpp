#include "app/window/form_texts.h"

#include "helpers/accessors.h"

namespace tavrin::window {

FormTexts::FormTexts(const char* window) {
  for (const std::string& line : helpers::Localizer().GetSectionTexts(window)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) texts_[line.substr(0, equals)] = line.substr(equals + 1);
  }
}

QString FormTexts::Text(const char* key, const char* english) const {
  const auto it = texts_.find(key);
  return it == texts_.end() ? QString::fromUtf8(english) : QString::fromStdString(it->second);
}

}  // namespace tavrin::window
