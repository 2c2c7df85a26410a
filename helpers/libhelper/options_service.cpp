#include "helpers/libhelper/options_service.h"

#include <filesystem>

#include "helpers/libcommon/lib_log.h"
#include "platform/linux/settings_file.h"

namespace tavrin::helpers {
namespace {

// A stored value as option text: strings as they are, numbers in decimal.
std::optional<std::string> OptionText(const platform::RegValue& value) {
  if (auto text = value.AsString()) return text;
  if (auto number = value.AsQword()) return std::to_string(*number);
  return std::nullopt;
}

}  // namespace

OptionsService::Option* OptionsService::Find(std::string_view name) {
  for (Option& option : options_)
    if (EqualNoCase(option.name, name)) return &option;  // option names ignore case
  return nullptr;
}

const std::string& OptionsService::Current(const Option& option) {
  if (option.written) return *option.written;
  if (option.stored) return *option.stored;
  return option.defaultText;
}

bool OptionsService::OpenKey(RootKey root, std::string_view path) {
  std::lock_guard lock(mutex_);
  root_ = root;
  path_ = path;
  options_.clear();
  changed_ = false;
  // Only the current user's key has a Linux home, the settings file.
  opened_ = root == RootKey::CurrentUser;
  if (!opened_)
    LibLogFmt("Options: %.*s has no settings store on Linux",
              static_cast<int>(platform::RegRootName(root).size()),
              platform::RegRootName(root).data());
  return opened_;
}

bool OptionsService::LoadOptions() {
  std::lock_guard lock(mutex_);
  for (Option& option : options_) option.stored.reset();
  if (!opened_) return false;
  const std::filesystem::path file = platform::SettingsFilePath();
  platform::SettingsLoad load = platform::LoadSettingsFile(file);
  if (!load.problems.empty()) {
    // Half a corrupt file is no better than none: every option keeps its default.
    std::string more = load.problems.size() > 1
                           ? " and " + std::to_string(load.problems.size() - 1) + " more"
                           : std::string();
    LibLogFmt("Options: settings file %s is corrupt (%s%s); using the defaults", file.c_str(),
              load.problems.front().c_str(), more.c_str());
    return false;
  }
  for (Option& option : options_) {
    auto value = load.tree->ReadValue(root_, path_, option.name);
    if (value) option.stored = OptionText(*value);
  }
  return true;
}

bool OptionsService::SaveOptions() {
  std::lock_guard lock(mutex_);
  if (!opened_) return false;
  // Defaults need no file: a run that changes nothing (a first run, a replay) writes none.
  if (!changed_) return true;
  const std::filesystem::path file = platform::SettingsFilePath();
  // Read the file again: other keys (and other programs' changes to them) stay as they are.
  platform::SettingsLoad load = platform::LoadSettingsFile(file);
  for (const Option& option : options_)
    load.tree->SetValue(root_, path_, option.name, platform::RegValue::String(Current(option)));
  std::string error;
  if (!platform::SaveSettingsFile(file, *load.tree, &error)) {
    LibLogFmt("Options: cannot write %s: %s", file.c_str(), error.c_str());
    return false;
  }
  changed_ = false;
  for (Option& option : options_) {
    option.stored = Current(option);
    option.written.reset();
  }
  return true;
}

void OptionsService::RegisterDefault(std::string_view name, std::string_view defaultText) {
  std::lock_guard lock(mutex_);
  if (Option* option = Find(name)) {
    option->defaultText = defaultText;
    return;
  }
  options_.push_back({std::string(name), std::string(defaultText), std::nullopt, std::nullopt});
}

std::string OptionsService::ReadString(std::string_view name) {
  std::lock_guard lock(mutex_);
  const Option* option = Find(name);
  return option ? Current(*option) : std::string();
}

void OptionsService::WriteString(std::string_view name, std::string_view text) {
  std::lock_guard lock(mutex_);
  Option* option = Find(name);
  if (!option) {
    options_.push_back({std::string(name), std::string(), std::nullopt, std::nullopt});
    option = &options_.back();
  }
  if (Current(*option) == text) return;
  option->written = std::string(text);
  changed_ = true;
}

}  // namespace tavrin::helpers
