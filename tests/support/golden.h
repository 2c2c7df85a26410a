// Expected-output files ("goldens") for tests that check a whole decoded machine at once.
//
// A golden holds labeled lines ("Vendor: GenuineIntel"), so a failing comparison names the
// value that changed. After an intended change, TAVRIN_REWRITE_GOLDENS=1 writes the actual
// output over the expected files instead of comparing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::testing {

/// A part of the output that changes from run to run (a time, a process id, a temporary
/// path): every match of `pattern` (ECMAScript regex) becomes `replacement` before comparing
/// and before rewriting.
struct GoldenNoise {
  std::string pattern;
  std::string replacement;
};

/// True when TAVRIN_REWRITE_GOLDENS=1.
bool RewritingGoldens();

/// `text` with every noise pattern replaced. Everything else, line ends included, is compared
/// byte for byte.
std::string WithoutNoise(std::string_view text, const std::vector<GoldenNoise>& noise = {});

/// Compares `actual`, without its noise, with the file `expected`. When rewriting, writes it
/// there instead (creating folders) and succeeds. A missing expected file fails. A mismatch
/// names the file and the first line that differs.
::testing::AssertionResult MatchesGolden(const std::filesystem::path& expected,
                                         std::string_view actual,
                                         const std::vector<GoldenNoise>& noise = {});

/// "label: value" lines, one per pair, in order: the usual body of a golden.
std::string LabeledLines(const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace tavrin::testing
