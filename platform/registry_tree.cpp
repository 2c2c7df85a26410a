#include "platform/registry.h"

#include <algorithm>
#include <utility>

#include "platform/registry_path.h"

namespace tavrin::platform {
namespace {

// Separator of components in the folded map key. It sorts below every printable character, so
// a key's descendants follow it directly in the map and the whole tree is walked depth first.
constexpr char kSep = '\x01';

std::string ValueLabel(std::string_view name) {
  return name.empty() ? std::string("(Default)") : std::string(name);
}

template <class Values>
auto FindValue(Values& values, std::string_view name) {
  return std::find_if(values.begin(), values.end(),
                      [&](const auto& v) { return EqualsNoCase(v.first, name); });
}

}  // namespace

RegistryTree::RegistryTree(std::string origin) : origin_(std::move(origin)) {}

std::string RegistryTree::Fold(RegRoot root, std::string_view path) {
  std::string key(RegRootName(root));
  for (std::string_view part : KeyPathComponents(path)) {
    key += kSep;
    key += AsciiLower(part);
  }
  return key;
}

const RegistryTree::Key* RegistryTree::Find(RegRoot root, std::string_view path) const {
  auto it = keys_.find(Fold(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegistryTree::Key& RegistryTree::Ensure(RegRoot root, std::string_view path) {
  std::string folded(RegRootName(root));
  std::vector<std::string_view> parts = KeyPathComponents(path);
  if (parts.empty()) return keys_.try_emplace(folded, Key{root, {}, {}}).first->second;
  Key* key = nullptr;
  std::string spelled;
  for (std::string_view part : parts) {
    folded += kSep;
    folded += AsciiLower(part);
    auto it = keys_.find(folded);
    if (it == keys_.end()) {
      // A new component keeps the spelling given now; existing parents keep theirs.
      std::string full = spelled.empty() ? std::string(part) : spelled + '\\' + std::string(part);
      it = keys_.emplace(folded, Key{root, std::move(full), {}}).first;
    }
    spelled = it->second.path;
    key = &it->second;
  }
  return *key;
}

void RegistryTree::CreateKey(RegRoot root, std::string_view path) {
  Ensure(root, path);
}

void RegistryTree::SetValue(RegRoot root, std::string_view path, std::string_view name,
                            RegValue value) {
  Key& key = Ensure(root, path);
  auto it = FindValue(key.values, name);
  if (it != key.values.end()) {
    it->second = std::move(value);  // the name keeps its first spelling and place
  } else {
    key.values.emplace_back(std::string(name), std::move(value));
  }
}

void RegistryTree::DeleteKey(RegRoot root, std::string_view path) {
  std::string folded = Fold(root, path);
  keys_.erase(folded);
  auto first = keys_.lower_bound(folded + kSep);
  auto last = keys_.lower_bound(folded + static_cast<char>(kSep + 1));
  keys_.erase(first, last);
}

void RegistryTree::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
  auto it = keys_.find(Fold(root, path));
  if (it == keys_.end()) return;
  auto& values = it->second.values;
  auto v = FindValue(values, name);
  if (v != values.end()) values.erase(v);
}

bool RegistryTree::KeyExists(RegRoot root, std::string_view path) const {
  std::string folded = Fold(root, path);
  if (keys_.count(folded)) return true;
  // A root exists as soon as anything lives under it.
  if (KeyPathComponents(path).empty()) {
    auto it = keys_.lower_bound(folded + kSep);
    return it != keys_.end() && it->first.starts_with(folded + kSep);
  }
  return false;
}

Answer<RegValue> RegistryTree::ReadValue(RegRoot root, std::string_view path,
                                         std::string_view name) const {
  const Key* key = Find(root, path);
  if (!key) {
    return Answer<RegValue>::Fail(Status::Missing, origin_ + ' ' + JoinKeyName(root, path),
                                  "no such key");
  }
  std::string where = origin_ + ' ' + JoinKeyName(root, key->path);
  auto it = FindValue(key->values, name);
  if (it == key->values.end()) {
    return Answer<RegValue>::Fail(Status::Missing, where, "no value " + ValueLabel(name));
  }
  return Answer<RegValue>::Of(it->second, where + '\\' + ValueLabel(it->first));
}

std::vector<std::string> RegistryTree::SubKeys(RegRoot root, std::string_view path) const {
  std::vector<std::string> names;
  const std::string prefix = Fold(root, path) + kSep;
  auto it = keys_.lower_bound(prefix);
  while (it != keys_.end() && it->first.starts_with(prefix)) {
    const std::string& child = it->first;
    if (child.find(kSep, prefix.size()) == std::string::npos) {
      const std::string& spelled = it->second.path;
      std::size_t slash = spelled.rfind('\\');
      names.push_back(slash == std::string::npos ? spelled : spelled.substr(slash + 1));
      // Skip the child's own descendants in one step.
      it = keys_.lower_bound(child + static_cast<char>(kSep + 1));
    } else {
      ++it;  // a deeper key whose parent entry is missing; Ensure never leaves one
    }
  }
  return names;
}

std::vector<std::string> RegistryTree::ValueNames(RegRoot root, std::string_view path) const {
  std::vector<std::string> names;
  if (const Key* key = Find(root, path)) {
    for (const auto& v : key->values) names.push_back(v.first);
  }
  return names;
}

std::vector<RegistryTree::KeyView> RegistryTree::Keys() const {
  std::vector<KeyView> out;
  out.reserve(keys_.size());
  for (const auto& [folded, key] : keys_) out.push_back({key.root, key.path, key.values});
  return out;
}

}  // namespace tavrin::platform
