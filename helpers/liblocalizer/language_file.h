// Language files of the "Lang" folder: UTF-8 INI text, read with inih.
//
//   [Language]
//   Name=Deutsch
//   Codes=DEU,DEA,DES,DEL,DEC
//   [Labels]
//   S_YES="Ja"
//
// Values lose one surrounding pair of double quotes; quotes inside stay. Keys and section
// names compare without regard to case. Comments go on lines of their own (";" or "#"): a
// semicolon inside a value is part of the value.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::helpers {

struct LanguageSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;  // file order
};

struct LanguageFile {
  std::string name;                ///< [Language] Name
  std::vector<std::string> codes;  ///< [Language] Codes, upper case
  std::vector<LanguageSection> sections;

  const LanguageSection* Section(std::string_view name) const;
  bool HasCode(std::string_view code) const;
};

struct LanguageParse {
  LanguageFile file;
  std::string problem;  ///< empty when well-formed, else what is wrong ("line 7: ...")
};

/// A language file larger than this is refused unread; the shipped ones are a few dozen KB.
inline constexpr std::size_t kMaxLanguageFileBytes = std::size_t{4} << 20;

LanguageParse ParseLanguageText(std::string_view text);
/// Reads and parses `file`; only a regular file up to kMaxLanguageFileBytes is read, anything
/// else gives a problem that says why.
LanguageParse ReadLanguageFile(const std::filesystem::path& file);

/// The "*.ini" entries of a folder, sorted by name, of any file type (ReadLanguageFile refuses
/// what is not a regular file); empty when the folder is missing.
std::vector<std::filesystem::path> LanguageFilesIn(const std::filesystem::path& folder);

/// ASCII upper case, for keys and codes.
std::string Folded(std::string_view text);

}  // namespace tavrin::helpers
