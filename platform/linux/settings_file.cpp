// The settings INI file. inih splits entries; this file adds what inih leaves out:
// line numbers for problem reports (the reader below hands inih one line at a time),
// section names of any length (inih cuts them at 49 characters, so sections are read here),
// and byte lists continued over several lines.
//
// Two inih rules shape the notation. A ";" after a blank starts a comment anywhere on an
// entry line, even inside quotes, so the writer turns strings holding one into a hex(1): byte
// list. And inih's line buffer is INI_MAX_LINE bytes: a longer entry line is skipped and
// reported, and the writer keeps every line it hands to inih within that limit.
#include "platform/linux/settings_file.h"

#include <fcntl.h>
#include <ini.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>

#include "base/strings.h"
#include "platform/reg_text.h"
#include "platform/reg_text_detail.h"
#include "platform/registry_path.h"
#include "platform/whole_file.h"

namespace tavrin::platform {
namespace {

constexpr const char* kOrigin = "settings.ini";
constexpr std::size_t kWrapWidth = 80;
// Longest entry line inih takes whole: its buffer also holds the line end and a NUL.
constexpr std::size_t kMaxEntryLine = INI_MAX_LINE - 2;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The characters IsSpace names, as inih trims them.
constexpr std::string_view Trim(std::string_view s) {
  return base::Trim(s, " \t\r\v\f");
}

// What inih would take for the start of an inline comment.
bool HasInlineComment(std::string_view s) {
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == ';' && std::isspace(static_cast<unsigned char>(s[i - 1]))) return true;
  }
  return false;
}

std::string Excerpt(std::string_view s) {
  std::string out(s.substr(0, 40));
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return s.size() > 40 ? out + "..." : out;
}

struct IniState {
  std::string_view text;
  std::size_t next = 0;  // offset of the next line in `text`
  int line_no = 0;
  SettingsLoad* load = nullptr;

  std::string path;  // the current section
  bool section_ok = true;
  bool continuation = false;    // the line inih is handling continues a byte list
  bool expect_handler = false;  // the line inih is handling must be an entry
  bool handled = false;

  struct Pending {  // a byte list that goes on over following lines
    std::string path, name, text;
    int line = 0;
  };
  std::optional<Pending> pending;

  void Problem(int line, const std::string& message) {
    load->problems.push_back(std::string(kOrigin) + " line " + std::to_string(line) + ": " +
                             message);
  }

  void Store(const std::string& key, const std::string& name, std::string_view text, int line) {
    std::optional<RegValue> value;
    if (text.starts_with('"') || StartsWithNoCase(text, "dword:") ||
        StartsWithNoCase(text, "hex:") || StartsWithNoCase(text, "hex(")) {
      value = ParseRegValueText(text);
      if (!value) {
        Problem(line, "malformed value \"" + Excerpt(text) + "\" for " +
                          (name.empty() ? std::string("@") : name) + ", skipped");
        return;
      }
    } else {
      value = RegValue::String(text);  // a bare word is a string
    }
    load->tree->SetValue(RegRoot::CurrentUser, key, name, std::move(*value));
  }

  void FinishPending() {
    if (!pending) return;
    Pending p = std::move(*pending);
    pending.reset();
    if (!p.text.empty() && p.text.back() == '\\') p.text.pop_back();
    Store(p.path, p.name, p.text, p.line);
  }

  void Section(std::string_view line) {
    section_ok = false;
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos) {
      Problem(line_no, "section header without ']', its entries are skipped");
      return;
    }
    std::string_view after = Trim(line.substr(close + 1));
    if (!after.empty() && after.front() != ';' && after.front() != '#') {
      Problem(line_no, "text after the section header, its entries are skipped");
      return;
    }
    std::string_view name = Trim(line.substr(1, close - 1));
    if (const std::size_t depth = detail::KeyDepth(name); depth > detail::kMaxKeyDepth) {
      Problem(line_no, detail::KeyTooDeepText(depth) + " with its entries");
      return;
    }
    path = NormalizeKeyPath(name);
    section_ok = true;
    load->tree->CreateKey(RegRoot::CurrentUser, path);
  }

  // Next line for inih, or nullptr at the end.
  char* NextLine(char* buffer, int size) {
    if (expect_handler && !handled) Problem(line_no, "not a name=value entry, skipped");
    expect_handler = false;
    while (next < text.size()) {
      std::size_t end = text.find('\n', next);
      if (end == std::string_view::npos) end = text.size();
      std::string_view raw = text.substr(next, end - next);
      next = end + 1;
      ++line_no;
      if (line_no == 1 && raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
      std::string_view line = Trim(raw);
      continuation = pending && !line.empty() && IsSpace(raw.front()) &&
                     std::string_view(";#[").find(line.front()) == std::string_view::npos;
      if (!continuation) FinishPending();
      if (line.empty() || line.front() == ';' || line.front() == '#') continue;
      if (line.front() == '[') {
        Section(line);
        continue;
      }
      if (line.find('\0') != std::string_view::npos) {
        Problem(line_no, "NUL character in the line, skipped");
        pending.reset();
        continue;
      }
      if (line.size() + 2 > static_cast<std::size_t>(size)) {
        Problem(line_no, "line longer than " + std::to_string(size - 2) + " characters, skipped");
        pending.reset();
        continue;
      }
      // Leading blanks would make inih take the line as the continuation of the entry
      // above; only a byte list that asked for it keeps one.
      std::size_t n = 0;
      if (continuation) buffer[n++] = ' ';
      line.copy(buffer + n, line.size());
      n += line.size();
      buffer[n++] = '\n';
      buffer[n] = '\0';
      expect_handler = true;
      handled = false;
      return buffer;
    }
    return nullptr;
  }

  void Entry(std::string_view name, std::string_view value) {
    handled = true;
    if (continuation) {
      if (pending) {
        pending->text.pop_back();  // the backslash
        pending->text += value;
        if (pending->text.empty() || pending->text.back() != '\\') FinishPending();
      }
      return;
    }
    if (!section_ok) return;  // the broken header was reported
    std::string key_name(name);
    if (name.starts_with('"')) {
      std::size_t pos = 0;
      if (!detail::ReadQuotedRegText(name, pos, key_name) || pos != name.size()) {
        Problem(line_no, "malformed quoted name " + Excerpt(name) + ", skipped");
        return;
      }
    } else if (name == "@") {
      key_name.clear();  // the default value, as in ".reg" files
    } else if (name.empty()) {
      Problem(line_no, "entry without a name, skipped");
      return;
    }
    if (StartsWithNoCase(value, "hex") && value.ends_with('\\')) {
      pending = Pending{path, std::move(key_name), std::string(value), line_no};
      return;
    }
    Store(path, key_name, value, line_no);
  }
};

char* ReadLine(char* buffer, int size, void* stream) {
  return static_cast<IniState*>(stream)->NextLine(buffer, size);
}

int OnEntry(void* user, const char* /*section: tracked by IniState*/, const char* name,
            const char* value) {
  static_cast<IniState*>(user)->Entry(name, value);
  return 1;
}

// Why a name cannot be an INI entry name, or empty when it can. inih ends the name at the
// first '=' or ':' whatever the quoting.
const char* NameTrouble(std::string_view name) {
  if (name.find_first_of("=:\r\n") != std::string_view::npos ||
      name.find('\0') != std::string_view::npos) {
    return "its name holds '=', ':' or a line break";
  }
  if (HasInlineComment(name)) return "its name holds a blank followed by ';'";
  return "";
}

std::string EntryName(std::string_view name) {
  if (name.empty()) return "@";
  bool quote = name == "@" || IsSpace(name.front()) || IsSpace(name.back()) ||
               std::string_view("\";#[").find(name.front()) != std::string_view::npos;
  return quote ? detail::QuoteRegText(name) : std::string(name);
}

// One entry, possibly over several lines; empty when the value cannot be kept in the file.
std::string EntryLines(const std::string& name, const RegValue& value) {
  std::string head = EntryName(name) + '=';
  std::string text = FormatRegValueText(value);
  if (text.starts_with('"') &&
      (HasInlineComment(text) || head.size() + text.size() > kMaxEntryLine)) {
    // The same bytes as a byte list: "hex:..." becomes "hex(1):...".
    text = "hex(1)" + FormatRegValueText(RegValue::Bytes(value.data)).substr(3);
  }
  std::string lines = head + text;
  if (text.starts_with("hex")) {
    std::size_t colon = text.find(':');
    lines = detail::WrapHexList(head + text.substr(0, colon + 1),
                                std::string_view(text).substr(colon + 1), kWrapWidth);
  }
  if (std::min(lines.find('\n'), lines.size()) > kMaxEntryLine) return {};
  return lines + '\n';
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd pw {};
  struct passwd* found = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir) {
    return found->pw_dir;
  }
  return ".";
}

}  // namespace

std::filesystem::path SettingsFilePath() {
  std::filesystem::path base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
    base = xdg;
  } else {
    base = std::filesystem::path(HomeFolder()) / ".config";
  }
  return base / "tavrin" / "settings.ini";
}

SettingsLoad ParseSettingsIni(std::string_view text) {
  SettingsLoad load;
  load.tree = std::make_shared<RegistryTree>(kOrigin);
  IniState state;
  state.text = text;
  state.load = &load;
  // inih's own result is only the first bad line; every problem is listed by IniState.
  ini_parse_stream(&ReadLine, &state, &OnEntry, &state);
  state.FinishPending();
  return load;
}

SettingsLoad LoadSettingsFile(const std::filesystem::path& file) {
  // The settings are small; a FIFO, a device or a huge file in their place is refused unread.
  constexpr std::size_t kMaxSettingsBytes = std::size_t{16} << 20;
  WholeFile read = ReadWholeFileChecked(file, kMaxSettingsBytes);
  if (read.missing) return ParseSettingsIni({});
  if (!read.bytes) {
    SettingsLoad load;
    load.tree = std::make_shared<RegistryTree>(kOrigin);
    load.problems.push_back(std::string(kOrigin) + ": cannot read " + file.string() + ": " +
                            read.error);
    return load;
  }
  return ParseSettingsIni(*read.bytes);
}

std::string WriteSettingsIni(const RegistryTree& tree) {
  std::string out;
  const std::vector<RegistryTree::KeyView> keys = tree.Keys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const RegistryTree::KeyView& key = keys[i];
    if (key.root != RegRoot::CurrentUser) continue;
    // An empty parent comes back from its children's headers; only empty leaves need one.
    bool has_children = i + 1 < keys.size() && keys[i + 1].root == key.root &&
                        (key.path.empty() || keys[i + 1].path.starts_with(key.path + '\\'));
    if (key.values.empty() && has_children) continue;
    // Values of the root itself come first, before any section header.
    if (!key.path.empty()) {
      if (key.path.find_first_of("\r\n") != std::string::npos ||
          key.path.find('\0') != std::string::npos || IsSpace(key.path.front()) ||
          IsSpace(key.path.back())) {
        out += "; a key was left out: its name cannot be a section header\n\n";
        continue;
      }
      out += '[' + key.path + "]\n";
    }
    for (const auto& [name, value] : key.values) {
      const char* trouble = NameTrouble(name);
      std::string lines = *trouble ? std::string() : EntryLines(name, value);
      if (lines.empty()) {
        out += "; value " + Excerpt(name) +
               " was left out: " + (*trouble ? trouble : "its name is too long") + '\n';
      }
      out += lines;
    }
    out += '\n';
  }
  return out;
}

bool SaveSettingsFile(const std::filesystem::path& file, const RegistryTree& tree,
                      std::string* error) {
  auto fail = [&](const std::string& what, int err) {
    if (error) *error = what + ": " + std::strerror(err);
    return false;
  };
  std::error_code ec;
  // A settings file linked from elsewhere (a dotfiles folder) stays linked: the file the
  // links lead to is written, and made when the link dangles.
  std::filesystem::path target = file;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, ec); ++hops) {
    const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    if (error) *error = "cannot create " + folder.string() + ": " + ec.message();
    return false;
  }
  // The temporary file sits beside the target so rename() replaces it in one step.
  std::string temp_name = ".";  // built in steps: GCC 12 warns falsely on "." + string&&
  temp_name += target.filename().string();
  temp_name += ".XXXXXX";
  std::string temp = (folder / temp_name).string();
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail("cannot create a file in " + folder.string(), errno);
  struct stat st {};
  ::fchmod(fd, ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);

  const std::string text = WriteSettingsIni(tree);
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      return fail("cannot write " + temp, err);
    }
    done += static_cast<std::size_t>(n);
  }
  int synced = ::fsync(fd);
  int err = errno;
  if (::close(fd) != 0 && synced == 0) {
    synced = -1;
    err = errno;
  }
  if (synced != 0) {
    ::unlink(temp.c_str());
    return fail("cannot write " + temp, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return fail("cannot replace " + target.string(), err);
  }
  return true;
}

}  // namespace tavrin::platform
