#include "helpers/liblocalizer/language_file.h"

#include <ini.h>

#include <algorithm>
#include <charconv>
#include <sstream>

#include "base/strings.h"
#include "helpers/common/guid.h"
#include "platform/whole_file.h"

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;

// inih as installed reads lines of at most 200 bytes and cuts longer ones into pieces, while
// a translated label easily runs longer. So inih gets the file's structure (sections, keys,
// comments, errors) with every value replaced by a short token, and the handler puts the
// untouched value back. This also keeps inih's inline-comment rule from cutting values at
// " ;".
constexpr char kToken = '\x01';

struct Shortened {
  std::string text;
  std::vector<std::string> values;
};

Shortened Shorten(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  Shortened out;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    // Leading blanks would make inih read the line as the continuation of the one before.
    std::string_view line = base::Trim(text.substr(pos, end - pos));
    pos = end + 1;
    std::size_t delimiter = line.find_first_of("=:");
    bool entry = !line.empty() && line.front() != ';' && line.front() != '#' &&
                 line.front() != '[' && delimiter != std::string_view::npos;
    if (entry) {
      out.text += base::Trim(line.substr(0, delimiter));
      out.text += '=';
      out.text += kToken;
      out.text += std::to_string(out.values.size());
      out.values.emplace_back(base::Trim(line.substr(delimiter + 1)));
    } else {
      out.text += line;
    }
    out.text += '\n';
  }
  return out;
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

struct ParseContext {
  const Shortened* shortened;
  LanguageFile* file;
};

int OnEntry(void* user, const char* section, const char* name, const char* value) {
  auto* ctx = static_cast<ParseContext*>(user);
  std::string_view raw = value;
  std::string text;
  if (!raw.empty() && raw.front() == kToken) {
    std::size_t index = 0;
    std::from_chars(raw.data() + 1, raw.data() + raw.size(), index);
    if (index < ctx->shortened->values.size()) text = Unquoted(ctx->shortened->values[index]);
  } else {
    text = Unquoted(raw);
  }

  LanguageFile& file = *ctx->file;
  if (EqualNoCase(section, "Language")) {
    if (EqualNoCase(name, "Name")) file.name = text;
    if (EqualNoCase(name, "Codes")) {
      file.codes.clear();
      std::stringstream list(text);
      std::string code;
      while (std::getline(list, code, ',')) {
        code = Folded(base::Trim(code));
        if (!code.empty()) file.codes.push_back(code);
      }
    }
  }
  auto it = std::find_if(file.sections.begin(), file.sections.end(),
                         [&](const LanguageSection& s) { return EqualNoCase(s.name, section); });
  if (it == file.sections.end()) it = file.sections.insert(file.sections.end(), {section, {}});
  it->entries.emplace_back(name, std::move(text));
  return 1;
}

}  // namespace

const LanguageSection* LanguageFile::Section(std::string_view name) const {
  for (const LanguageSection& s : sections)
    if (EqualNoCase(s.name, name)) return &s;
  return nullptr;
}

bool LanguageFile::HasCode(std::string_view code) const {
  return std::find(codes.begin(), codes.end(), Folded(code)) != codes.end();
}

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

LanguageParse ParseLanguageText(std::string_view text) {
  LanguageParse result;
  Shortened shortened = Shorten(text);
  ParseContext ctx{&shortened, &result.file};
  int line = ini_parse_string(shortened.text.c_str(), &OnEntry, &ctx);
  if (line > 0)
    result.problem = "line " + std::to_string(line) + " is not a section or a key=value entry";
  else if (line < 0)
    result.problem = "could not be parsed";
  else if (result.file.codes.empty())
    result.problem = "no Codes in its [Language] section";
  return result;
}

LanguageParse ReadLanguageFile(const fs::path& file) {
  // The same reader as the settings and snapshots: a FIFO or a device in the folder is refused
  // instead of blocking the start, and a huge file is refused before it is read.
  platform::WholeFile read = platform::ReadWholeFileChecked(file, kMaxLanguageFileBytes);
  if (!read.bytes) {
    LanguageParse result;
    result.problem = "cannot be read (" + read.error + ")";
    return result;
  }
  return ParseLanguageText(*read.bytes);
}

std::vector<fs::path> LanguageFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    // Whatever the entry is: the reader refuses a FIFO or a device and says so.
    if (EqualNoCase(p.extension().string(), ".ini")) files.push_back(p);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace tavrin::helpers
