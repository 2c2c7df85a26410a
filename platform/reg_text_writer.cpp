// Writing registry trees as ".reg" text in regedit's layout.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/reg_text.h"
#include "platform/reg_text_detail.h"

namespace tavrin::platform {
namespace {

constexpr std::size_t kLineWidth = 80;  // regedit keeps its lines within 80 columns

// True when "text" notation gives back exactly these bytes: one terminating NUL, valid
// UTF-16 and no line break (a line break would end the line of the value).
bool FitsQuotedText(const RegValue& value) {
  std::optional<std::string> text = value.AsString();
  if (!text || text->find_first_of("\r\n") != std::string::npos) return false;
  return RegValue::String(*text, value.type).data == value.data;
}

std::string HexList(const std::vector<uint8_t>& data) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, i + 1 < data.size() ? "%02x," : "%02x", data[i]);
    out += buf;
  }
  return out;
}

std::string ValueName(std::string_view name) {
  return name.empty() ? std::string("@") : detail::QuoteRegText(name);
}

}  // namespace

std::string detail::QuoteRegText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string detail::WrapHexList(std::string_view head, std::string_view list, std::size_t width) {
  std::string out(head);
  std::size_t column = head.size();
  bool first = true;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t comma = list.find(',', start);
    std::size_t end = comma == std::string_view::npos ? list.size() : comma + 1;
    std::string_view piece = list.substr(start, end - start);
    // +1 leaves room for the continuation backslash.
    if (!first && column + piece.size() + 1 > width) {
      out += "\\\n  ";
      column = 2;
    }
    out += piece;
    column += piece.size();
    first = false;
    start = end;
  }
  return out;
}

std::string FormatRegValueText(const RegValue& value) {
  if (value.type == RegType::Sz && FitsQuotedText(value)) {
    return detail::QuoteRegText(*value.AsString());
  }
  if (value.type == RegType::Dword && value.data.size() == 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(*value.AsDword()));
    return buf;
  }
  std::string head = "hex";
  if (value.type != RegType::Binary) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "(%x)", static_cast<unsigned>(value.type));
    head += buf;
  }
  return head + ':' + HexList(value.data);
}

std::string WriteRegText(const RegistryTree& tree) {
  std::string out = "Windows Registry Editor Version 5.00\n\n";
  for (const RegistryTree::KeyView& key : tree.Keys()) {
    out += '[' + JoinKeyName(key.root, key.path) + "]\n";
    for (const auto& [name, value] : key.values) {
      std::string head = ValueName(name) + '=';
      std::string text = FormatRegValueText(value);
      if (text.starts_with("hex")) {
        std::size_t colon = text.find(':');
        out += detail::WrapHexList(head + text.substr(0, colon + 1),
                                   std::string_view(text).substr(colon + 1), kLineWidth);
      } else {
        out += head + text;
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

}  // namespace tavrin::platform
