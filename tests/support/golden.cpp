#include "tests/support/golden.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace tavrin::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

bool RewritingGoldens() {
  const char* value = std::getenv("TAVRIN_REWRITE_GOLDENS");
  return value != nullptr && std::string_view(value) == "1";
}

std::string WithoutNoise(std::string_view text, const std::vector<GoldenNoise>& noise) {
  std::string out(text);
  for (const GoldenNoise& n : noise)
    out = std::regex_replace(out, std::regex(n.pattern), n.replacement);
  return out;
}

::testing::AssertionResult MatchesGolden(const fs::path& expected, std::string_view actual,
                                         const std::vector<GoldenNoise>& noise) {
  const std::string clean = WithoutNoise(actual, noise);
  if (RewritingGoldens()) {
    std::error_code ec;
    fs::create_directories(expected.parent_path(), ec);
    std::ofstream out(expected, std::ios::binary);
    out << clean;
    if (!out) return ::testing::AssertionFailure() << "could not rewrite " << expected;
    return ::testing::AssertionSuccess() << "rewrote " << expected;
  }
  std::ifstream in(expected, std::ios::binary);
  if (!in)
    return ::testing::AssertionFailure()
           << expected << " is missing (TAVRIN_REWRITE_GOLDENS=1 writes it)";
  std::ostringstream text;
  text << in.rdbuf();
  const std::string want = WithoutNoise(text.str(), noise);
  if (want == clean) return ::testing::AssertionSuccess();

  const auto want_lines = Lines(want);
  const auto got_lines = Lines(clean);
  std::size_t line = 0;
  while (line < want_lines.size() && line < got_lines.size() && want_lines[line] == got_lines[line])
    ++line;
  auto at = [](const std::vector<std::string_view>& lines, std::size_t i) {
    return i < lines.size() ? "\"" + std::string(lines[i]) + "\"" : std::string("(end of text)");
  };
  return ::testing::AssertionFailure()
         << "differs from " << expected << " at line " << line + 1
         << "\n  expected: " << at(want_lines, line) << "\n  actual:   " << at(got_lines, line)
         << "\n(TAVRIN_REWRITE_GOLDENS=1 rewrites it after an intended change)";
}

std::string LabeledLines(const std::vector<std::pair<std::string, std::string>>& values) {
  std::string out;
  for (const auto& [label, value] : values) out += label + ": " + value + "\n";
  return out;
}

}  // namespace tavrin::testing
