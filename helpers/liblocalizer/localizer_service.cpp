#include "helpers/liblocalizer/localizer_service.h"

#include <algorithm>

#include "helpers/libcommon/lib_log.h"

namespace tavrin::helpers {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEnglishCode = "ENU";

// The program's own English texts, so GetText answers even without any language file.
const std::unordered_map<std::string_view, std::string_view>& BuiltInEnglish() {
  static const std::unordered_map<std::string_view, std::string_view> table = {
#define TAVRIN_LABEL(key, english) {#key, english},
#include "text/labels.def"
#undef TAVRIN_LABEL
  };
  return table;
}

}  // namespace

void LocalizerService::Adopt(LanguageFile file, std::string code) {
  labels_.clear();
  if (const LanguageSection* section = file.Section("Labels"))
    for (const auto& [key, text] : section->entries) labels_[Folded(key)] = text;
  language_ = std::move(file);
  code_ = std::move(code);
}

bool LocalizerService::InitLocalizer(std::string_view languageFolder,
                                     std::string_view /*programFileName*/,
                                     std::string_view languageCode) {
  std::lock_guard lock(mutex_);
  folder_ = fs::path(languageFolder);
  language_.reset();
  labels_.clear();
  code_ = kEnglishCode;
  const std::string wanted = Folded(languageCode);

  std::error_code ec;
  if (!fs::is_directory(folder_, ec)) {
    LibLogFmt("Localizer: language folder %s not found; using English", folder_.c_str());
    return false;
  }
  std::vector<std::pair<std::string, LanguageParse>> files;
  for (const fs::path& path : LanguageFilesIn(folder_))
    files.emplace_back(path.filename().string(), ReadLanguageFile(path));
  auto lists = [](const LanguageParse& parse, std::string_view code) {
    return !code.empty() && parse.file.HasCode(code);
  };

  for (auto& [name, parse] : files) {
    if (parse.problem.empty() && lists(parse, wanted)) {
      LibLogFmt("Localizer: language %s from %s", wanted.c_str(), name.c_str());
      Adopt(std::move(parse.file), wanted);
      return true;
    }
  }

  std::string why;
  for (const auto& [name, parse] : files) {
    if (!parse.problem.empty() && lists(parse, wanted)) {
      why = "language file " + name + " is malformed (" + parse.problem + ")";
      break;
    }
  }
  if (why.empty()) {
    why = "no language file for \"" + wanted + "\" in " + folder_.string();
    for (const auto& [name, parse] : files) {
      if (parse.problem.empty()) continue;
      why += " (" + name + " is malformed: " + parse.problem + ")";
      break;
    }
  }
  // A complete English file still gives the sections beyond the labels (report texts)
  // their English wording.
  for (auto& [name, parse] : files) {
    if (parse.problem.empty() && lists(parse, kEnglishCode)) {
      Adopt(std::move(parse.file), std::string(kEnglishCode));
      break;
    }
  }
  LibLogFmt("Localizer: %s; using English", why.c_str());
  return false;
}

void LocalizerService::TranslateForm(void*) {
  // The Linux user interface translates its windows itself from GetSectionTexts.
}

std::vector<std::string> LocalizerService::GetSectionTexts(std::string_view section) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  if (!language_) return lines;
  if (const LanguageSection* s = language_->Section(section))
    for (const auto& [key, text] : s->entries) lines.push_back(key + "=" + text);
  return lines;
}

std::string LocalizerService::GetText(std::string_view key) {
  std::lock_guard lock(mutex_);
  const std::string folded = Folded(key);
  if (auto it = labels_.find(folded); it != labels_.end()) return it->second;
  if (auto it = BuiltInEnglish().find(folded); it != BuiltInEnglish().end())
    return std::string(it->second);
  return {};
}

void LocalizerService::TranslateVar(std::string_view key, std::string& text) {
  std::lock_guard lock(mutex_);
  if (auto it = labels_.find(Folded(key)); it != labels_.end()) text = it->second;
}

std::string LocalizerService::GetLanguage() {
  std::lock_guard lock(mutex_);
  return code_;
}

std::vector<LanguageInfo> LocalizerService::ListLanguages() {
  fs::path folder;
  {
    std::lock_guard lock(mutex_);
    folder = folder_;
  }
  std::vector<LanguageInfo> list;
  if (folder.empty()) return list;
  for (const fs::path& path : LanguageFilesIn(folder)) {
    LanguageParse parse = ReadLanguageFile(path);
    if (!parse.problem.empty()) continue;
    list.push_back({parse.file.name.empty() ? path.stem().string() : parse.file.name,
                    parse.file.codes.front(), path.filename().string()});
  }
  std::sort(list.begin(), list.end(),
            [](const LanguageInfo& a, const LanguageInfo& b) { return a.name < b.name; });
  return list;
}

}  // namespace tavrin::helpers
