#include "collectors/system/alsa_text.h"

#include <charconv>

namespace tavrin::collectors {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Lines of `text`, one at a time.
bool NextLine(std::string_view& text, std::string_view& line) {
  if (text.empty()) return false;
  const auto end = text.find('\n');
  line = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return true;
}

bool Int(std::string_view s, int& out) {
  s = Trim(s);
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

std::vector<AlsaCard> ParseAlsaCards(std::string_view text) {
  std::vector<AlsaCard> cards;
  std::string_view line;
  while (NextLine(text, line)) {
    const auto open = line.find('['), close = line.find("]:");
    AlsaCard card;
    if (open != std::string_view::npos && close != std::string_view::npos && open < close &&
        Int(line.substr(0, open), card.index)) {
      card.id = std::string(Trim(line.substr(open + 1, close - open - 1)));
      const std::string_view rest = Trim(line.substr(close + 2));
      const auto dash = rest.find(" - ");
      card.driver = std::string(Trim(rest.substr(0, dash)));
      if (dash != std::string_view::npos) card.shortName = std::string(Trim(rest.substr(dash + 3)));
      cards.push_back(std::move(card));
    } else if (!cards.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t') &&
               cards.back().longName.empty()) {
      cards.back().longName = std::string(Trim(line));
    }
  }
  return cards;
}

std::vector<AlsaPcm> ParseAlsaPcm(std::string_view text) {
  std::vector<AlsaPcm> list;
  std::string_view line;
  while (NextLine(text, line)) {
    // Fields are separated by " : "; the first is "CC-DD: id".
    std::vector<std::string_view> fields;
    const auto first = line.find(": ");
    if (first == std::string_view::npos) continue;
    const std::string_view address = line.substr(0, first);
    std::string_view rest = line.substr(first + 2);
    while (true) {
      const auto sep = rest.find(" : ");
      fields.push_back(Trim(rest.substr(0, sep)));
      if (sep == std::string_view::npos) break;
      rest.remove_prefix(sep + 3);
    }
    AlsaPcm pcm;
    const auto dash = address.find('-');
    if (dash == std::string_view::npos || !Int(address.substr(0, dash), pcm.card) ||
        !Int(address.substr(dash + 1), pcm.device) || fields.size() < 2)
      continue;
    pcm.id = std::string(fields[0]);
    pcm.name = std::string(fields[1]);
    for (std::size_t i = 2; i < fields.size(); ++i) {
      const std::string_view f = fields[i];
      const auto blank = f.rfind(' ');
      int count = 0;
      if (blank == std::string_view::npos || !Int(f.substr(blank + 1), count)) continue;
      if (f.substr(0, blank) == "playback") pcm.playback = count;
      if (f.substr(0, blank) == "capture") pcm.capture = count;
    }
    list.push_back(std::move(pcm));
  }
  return list;
}

std::vector<AlsaDeviceNode> ParseAlsaDevices(std::string_view text) {
  std::vector<AlsaDeviceNode> list;
  std::string_view line;
  while (NextLine(text, line)) {
    const auto colon = line.find(':');
    const auto kind = line.rfind(": ");
    if (colon == std::string_view::npos || kind == std::string_view::npos || kind < colon) continue;
    AlsaDeviceNode node;
    node.kind = std::string(Trim(line.substr(kind + 2)));
    const std::string_view where = line.substr(colon + 1, kind - colon - 1);
    const auto open = where.find('['), close = where.find(']');
    if (open != std::string_view::npos && close != std::string_view::npos && open < close) {
      const std::string_view inner = where.substr(open + 1, close - open - 1);
      const auto dash = inner.find('-');
      if (!Int(inner.substr(0, dash), node.card)) node.card = -1;
      if (dash != std::string_view::npos && !Int(inner.substr(dash + 1), node.device))
        node.device = -1;
    }
    list.push_back(std::move(node));
  }
  return list;
}

AlsaMidiInfo ParseAlsaMidiInfo(std::string_view text) {
  AlsaMidiInfo info;
  std::string_view line;
  bool first = true;
  while (NextLine(text, line)) {
    if (first) {
      info.name = std::string(Trim(line));
      first = false;
      continue;
    }
    if (line.rfind("Output", 0) == 0) info.output = true;
    if (line.rfind("Input", 0) == 0) info.input = true;
  }
  return info;
}

}  // namespace tavrin::collectors
