// Read-only registry service.
//
// The program reads configuration the way Windows keeps it: keys under a root, named values
// with a type. On Windows this is the registry itself; on Linux the current user's settings
// live in an INI file and the other roots answer "not supported" unless a later service maps
// a Linux source onto them; a snapshot answers from recorded ".reg" files.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/provenance.h"

namespace tavrin::platform {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

/// "HKEY_LOCAL_MACHINE" and the short form "HKLM"; nullopt for anything else.
std::optional<RegRoot> RegRootFromName(std::string_view name);
std::string_view RegRootName(RegRoot root);  ///< long form, "HKEY_CURRENT_USER"

/// Value types with the numbers Windows gives them.
enum class RegType : uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  DwordBigEndian = 5,
  Link = 6,
  MultiSz = 7,
  ResourceList = 8,
  FullResourceDescriptor = 9,
  ResourceRequirementsList = 10,
  Qword = 11,
};

/// A value as Windows stores it: the type and the raw bytes (strings in UTF-16LE with their
/// terminating NUL, numbers little-endian). Keeping the raw bytes means a snapshot of a Windows
/// machine answers exactly what the machine did, including odd values such as a DWORD
/// stored with three bytes.
struct RegValue {
  RegType type = RegType::None;
  std::vector<uint8_t> data;

  static RegValue String(std::string_view utf8, RegType type = RegType::Sz);
  static RegValue Dword(uint32_t v);
  static RegValue Qword(uint64_t v);
  static RegValue MultiString(const std::vector<std::string>& items);
  static RegValue Bytes(std::vector<uint8_t> bytes, RegType type = RegType::Binary);

  /// Sz, ExpandSz and Link as UTF-8, unexpanded, up to the first NUL.
  std::optional<std::string> AsString() const;
  /// Dword (4 bytes little-endian) and DwordBigEndian.
  std::optional<uint32_t> AsDword() const;
  /// Qword, and a Dword widened.
  std::optional<uint64_t> AsQword() const;
  /// MultiSz as its strings, without the empty terminator.
  std::optional<std::vector<std::string>> AsMultiString() const;

  bool operator==(const RegValue&) const = default;
};

/// Expands "%NAME%" references; unknown names stay as written, as Windows does.
using EnvLookup = std::function<std::optional<std::string>(std::string_view name)>;
std::string ExpandEnvironmentText(std::string_view text, const EnvLookup& lookup);

/// Registry text reading: any value as text. Strings as they are, expandable strings expanded,
/// 32-bit numbers in decimal, multi-strings as their first string, every other type as
/// upper-case hexadecimal bytes separated by blanks ("01 A0 FF").
std::string RegistryText(const RegValue& value, const EnvLookup& lookup);

class Registry {
 public:
  virtual ~Registry() = default;

  /// Key paths use backslashes and compare without regard to case, like Windows.
  virtual bool KeyExists(RegRoot root, std::string_view path) const = 0;
  virtual Answer<RegValue> ReadValue(RegRoot root, std::string_view path,
                                     std::string_view name) const = 0;
  /// Names as stored, in the order the source keeps them.
  virtual std::vector<std::string> SubKeys(RegRoot root, std::string_view path) const = 0;
  virtual std::vector<std::string> ValueNames(RegRoot root, std::string_view path) const = 0;
};

/// An in-memory registry: what a ".reg" file or the settings file holds. Also the store the
/// recorder fills with every value that was answered.
class RegistryTree : public Registry {
 public:
  /// `origin` names the backing source in provenance ("settings.ini", "snapshot registry").
  explicit RegistryTree(std::string origin = "registry");

  void CreateKey(RegRoot root, std::string_view path);
  /// Creates the key (and its parents) when needed.
  void SetValue(RegRoot root, std::string_view path, std::string_view name, RegValue value);
  void DeleteKey(RegRoot root, std::string_view path);  ///< with its subkeys
  void DeleteValue(RegRoot root, std::string_view path, std::string_view name);

  bool KeyExists(RegRoot root, std::string_view path) const override;
  Answer<RegValue> ReadValue(RegRoot root, std::string_view path,
                             std::string_view name) const override;
  std::vector<std::string> SubKeys(RegRoot root, std::string_view path) const override;
  std::vector<std::string> ValueNames(RegRoot root, std::string_view path) const override;

  /// Every key with its values, keys in sorted order: what a ".reg" writer walks.
  struct KeyView {
    RegRoot root;
    std::string path;  ///< as first written
    std::vector<std::pair<std::string, RegValue>> values;
  };
  std::vector<KeyView> Keys() const;
  bool empty() const { return keys_.empty(); }

 private:
  struct Key {
    RegRoot root;
    std::string path;
    std::vector<std::pair<std::string, RegValue>> values;  // insertion order
  };
  static std::string Fold(RegRoot root, std::string_view path);
  const Key* Find(RegRoot root, std::string_view path) const;
  Key& Ensure(RegRoot root, std::string_view path);  // creates missing parents too

  std::string origin_;
  std::map<std::string, Key> keys_;  // case-folded "root\path" -> key
};

/// Splits a full key name "HKEY_LOCAL_MACHINE\Software\X" into root and path.
std::optional<std::pair<RegRoot, std::string>> SplitKeyName(std::string_view full);
std::string JoinKeyName(RegRoot root, std::string_view path);

}  // namespace tavrin::platform
