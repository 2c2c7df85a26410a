// Texts of a window that are not label texts (group captions, introduction texts): the
// language file's section named after the window supplies them, the English text stays
// when it has none.
#pragma once

#include <QString>
#include <map>
#include <string>

namespace tavrin::window {

class FormTexts {
 public:
  /// Reads the section `window` of the language in use.
  explicit FormTexts(const char* window);
  QString Text(const char* key, const char* english) const;

 private:
  std::map<std::string, std::string> texts_;
};

}  // namespace tavrin::window
