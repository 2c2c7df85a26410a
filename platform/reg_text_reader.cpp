// Reading ".reg" text (regedit's export format) into a registry tree.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "platform/reg_text.h"
#include "platform/reg_text_detail.h"
#include "platform/registry_path.h"
#include "platform/utf16.h"

namespace tavrin::platform {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Blanks of the format only: other control characters belong to the data.
constexpr std::string_view Trim(std::string_view s) {
  return base::Trim(s, " \t\r");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `max_digits` hexadecimal digits and nothing else.
std::optional<uint32_t> ParseHexNumber(std::string_view s, std::size_t max_digits) {
  if (s.empty() || s.size() > max_digits) return std::nullopt;
  uint32_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  return v;
}

// "01,a0, ff" (a trailing comma is tolerated: it is what a dangling continuation leaves).
std::optional<std::vector<uint8_t>> ParseHexList(std::string_view list) {
  std::vector<uint8_t> bytes;
  list = Trim(list);
  if (list.empty()) return bytes;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = list.find(',', start);
    std::string_view token =
        Trim(list.substr(start, comma == std::string_view::npos ? list.npos : comma - start));
    if (token.empty() && comma == std::string_view::npos && !bytes.empty()) break;
    std::optional<uint32_t> b = ParseHexNumber(token, 2);
    if (!b) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*b));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return bytes;
}

// REGEDIT4 files hold string data as 8-bit text; registry strings are UTF-16LE.
std::vector<uint8_t> WidenBytes(const std::vector<uint8_t>& narrow) {
  std::vector<uint8_t> wide;
  wide.reserve(narrow.size() * 2);
  for (uint8_t b : narrow) {
    wide.push_back(b);
    wide.push_back(0);
  }
  return wide;
}

std::optional<RegValue> ParseValue(std::string_view text, bool regedit4, std::string& error) {
  text = Trim(text);
  if (!text.empty() && text.front() == '"') {
    std::size_t pos = 0;
    std::string s;
    if (!detail::ReadQuotedRegText(text, pos, s)) {
      error = "unterminated string";
      return std::nullopt;
    }
    if (pos != text.size()) {
      error = "text after the closing quote";
      return std::nullopt;
    }
    return RegValue::String(s);
  }
  if (StartsWithNoCase(text, "dword:")) {
    std::optional<uint32_t> v = ParseHexNumber(Trim(text.substr(6)), 8);
    if (!v) {
      error = "bad dword value (1 to 8 hexadecimal digits expected)";
      return std::nullopt;
    }
    return RegValue::Dword(*v);
  }
  if (StartsWithNoCase(text, "hex")) {
    std::string_view rest = text.substr(3);
    auto type = RegType::Binary;
    if (!rest.empty() && rest.front() == '(') {
      std::size_t close = rest.find(')');
      std::optional<uint32_t> n;
      if (close != std::string_view::npos) n = ParseHexNumber(rest.substr(1, close - 1), 8);
      if (!n) {
        error = "bad value type in hex(...)";
        return std::nullopt;
      }
      type = static_cast<RegType>(*n);
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != ':') {
      error = "':' expected after the value type";
      return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes = ParseHexList(rest.substr(1));
    if (!bytes) {
      error = "bad hexadecimal byte list";
      return std::nullopt;
    }
    if (regedit4 &&
        (type == RegType::Sz || type == RegType::ExpandSz || type == RegType::MultiSz)) {
      *bytes = WidenBytes(*bytes);
    }
    return RegValue::Bytes(std::move(*bytes), type);
  }
  error = "unknown value type";
  return std::nullopt;
}

// Text as UTF-8 (regedit writes UTF-16LE with a byte-order mark; hand-written files are
// usually UTF-8). False when it is not text at all.
bool DecodeText(std::string_view bytes, std::string& text, std::string& error) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  bool utf16 = false;
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    bytes.remove_prefix(2);
    utf16 = true;
  } else if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    error = "UTF-16 big-endian text is not supported";
    return false;
  } else if (bytes.size() >= 2 && byte(0) != 0 && byte(1) == 0) {
    utf16 = true;  // UTF-16LE that lost its byte-order mark
  }
  if (utf16) {
    if (bytes.size() % 2 != 0) {
      error = "UTF-16 text with an odd number of bytes";
      return false;
    }
    text =
        Utf16ToUtf8(Utf16FromLeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  } else {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    text.assign(bytes);
  }
  if (text.find('\0') != std::string::npos) {
    error = "not text: it contains NUL characters";
    return false;
  }
  return true;
}

using base::SplitLines;

class RegReader {
 public:
  RegReader(std::vector<std::string_view> lines, RegistryTree& tree, RegParseResult& result)
      : lines_(std::move(lines)), tree_(tree), result_(result) {}

  void Run() {
    std::size_t i = 0;
    while (i < lines_.size() && Trim(lines_[i]).empty()) ++i;
    std::string_view header = i < lines_.size() ? Trim(lines_[i]) : std::string_view();
    if (!EqualsNoCase(header, kHeader5) && !EqualsNoCase(header, kHeader4)) {
      result_.ok = false;
      result_.error = "missing header line \"" + std::string(kHeader5) + "\"";
      return;
    }
    regedit4_ = EqualsNoCase(header, kHeader4);
    result_.ok = true;
    for (++i; i < lines_.size(); ++i) {
      line_no_ = static_cast<int>(i) + 1;
      std::string_view line = Trim(lines_[i]);
      if (line.empty() || line.front() == ';') continue;
      if (EqualsNoCase(line, kHeader5) || EqualsNoCase(line, kHeader4)) continue;  // joined files
      if (line.front() == '[') {
        KeyLine(line);
      } else if (line.front() == '"' || line.front() == '@') {
        ValueLine(line, i);
      } else {
        Issue("not a key, value or comment line");
      }
    }
  }

 private:
  void Issue(std::string message) { result_.issues.push_back({line_no_, std::move(message)}); }

  void KeyLine(std::string_view line) {
    have_key_ = false;
    std::size_t close = line.rfind(']');
    if (close != line.size() - 1) {
      Issue(close == std::string_view::npos ? "key line without ']'" : "text after ']'");
      return;
    }
    bool remove = line.size() > 1 && line[1] == '-';
    std::string_view name = line.substr(remove ? 2 : 1, close - (remove ? 2 : 1));
    if (const std::size_t depth = detail::KeyDepth(name); depth > detail::kMaxKeyDepth + 1) {
      Issue(detail::KeyTooDeepText(depth - 1));  // the root's name is not a level
      return;
    }
    auto key = SplitKeyName(name);
    if (!key) {
      Issue("unknown root key in \"" + std::string(name) + "\"");
      return;
    }
    if (remove) {
      if (key->second.empty()) {
        Issue("a root key cannot be deleted");
      } else {
        tree_.DeleteKey(key->first, key->second);
      }
      return;  // values after a deletion have no key to go to
    }
    tree_.CreateKey(key->first, key->second);
    root_ = key->first;
    path_ = std::move(key->second);
    have_key_ = true;
  }

  // `index` moves past the continuation lines the value takes.
  void ValueLine(std::string_view line, std::size_t& index) {
    std::string name;
    std::size_t pos = 1;
    if (line.front() == '"') {
      pos = 0;
      if (!detail::ReadQuotedRegText(line, pos, name)) {
        Issue("unterminated value name");
        return;
      }
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') {
      Issue("'=' expected after the value name");
      return;
    }
    std::string text(Trim(line.substr(pos + 1)));
    // Byte lists go on over following lines while a line ends with a backslash.
    if (StartsWithNoCase(text, "hex")) {
      while (!text.empty() && text.back() == '\\') {
        text.pop_back();
        if (index + 1 >= lines_.size()) break;
        text += Trim(lines_[++index]);
      }
    }
    if (!have_key_) {
      Issue("value line without a key before it");
      return;
    }
    if (text == "-") {
      tree_.DeleteValue(root_, path_, name);
      return;
    }
    std::string error;
    std::optional<RegValue> value = ParseValue(text, regedit4_, error);
    if (!value) {
      Issue(error + " in value \"" + name + "\"");
      return;
    }
    tree_.SetValue(root_, path_, name, std::move(*value));
  }

  std::vector<std::string_view> lines_;
  RegistryTree& tree_;
  RegParseResult& result_;
  bool regedit4_ = false;
  int line_no_ = 0;
  bool have_key_ = false;
  RegRoot root_ = RegRoot::LocalMachine;
  std::string path_;
};

}  // namespace

std::size_t detail::KeyDepth(std::string_view path) {
  std::size_t depth = 0;
  bool in_name = false;
  for (char c : path) {
    if (c == '\\') {
      in_name = false;
    } else if (!in_name) {
      in_name = true;
      ++depth;
    }
  }
  return depth;
}

std::string detail::KeyTooDeepText(std::size_t depth) {
  return "key " + std::to_string(depth) + " levels deep, deeper than the " +
         std::to_string(kMaxKeyDepth) + " levels a registry key can have, skipped";
}

bool detail::ReadQuotedRegText(std::string_view text, std::size_t& pos, std::string& out) {
  out.clear();
  for (std::size_t i = pos + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return true;
    }
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      c = text[++i];
    }
    out += c;
  }
  return false;
}

RegParseResult ParseRegText(std::string_view bytes, RegistryTree& tree) {
  RegParseResult result;
  std::string text;
  if (!DecodeText(bytes, text, result.error)) return result;
  RegReader(SplitLines(text), tree, result).Run();
  return result;
}

std::optional<RegValue> ParseRegValueText(std::string_view text) {
  std::string error;
  if (Trim(text) == "-") return std::nullopt;
  return ParseValue(text, false, error);
}

}  // namespace tavrin::platform
