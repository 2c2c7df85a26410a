// Decoding dpkg's package database: the "status" file and the journal of updates beside it.
//
// The status file is a list of paragraphs separated by blank lines, each a set of "Field:
// value" lines with continuation lines starting with a blank (the control-file syntax of the
// Debian policy). Only the fields a package list shows are kept, as views into the text, so a
// database of tens of megabytes decodes without copying it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::collectors {

struct DpkgPackage {
  std::string_view name;
  std::string_view architecture;
  std::string_view version;
  std::string_view maintainer;
  std::string_view source;
  std::string_view homepage;
  std::string_view summary;  ///< the first line of the description
  /// "Status: want flag state", e.g. "install ok installed"; the state is the third word.
  std::string_view want, state;
  std::optional<uint64_t> installedSizeKiB;  ///< absent when the field is missing or not a number
};

/// The packages of a status file (or of one journal entry) in file order. Paragraphs without a
/// "Package" field, lines without a colon and unknown fields are skipped; a paragraph cut off
/// at the end of the text is kept with what it holds.
std::vector<DpkgPackage> ParseDpkgStatus(std::string_view text);

/// Applies journal entries (dpkg writes one per change and folds them into the status file
/// later) over `packages`: an entry replaces the package of the same name and architecture, or
/// is added. Entries must be given in the journal's order.
void ApplyDpkgUpdates(std::vector<DpkgPackage>& packages,
                      const std::vector<std::vector<DpkgPackage>>& updates);

/// Whether dpkg keeps anything of the package: every state but "not-installed". This is the
/// set `dpkg-query -W` lists; packages removed with their configuration kept ("config-files")
/// are among them.
bool DpkgKnowsPackage(const DpkgPackage& p);

/// Whether the package's files are on the system ("installed", or half-way through a change).
bool DpkgFilesPresent(const DpkgPackage& p);

/// The name dpkg gives the package's file list: "name.list", or "name:arch.list" for a package
/// of several architectures ("Multi-Arch: same"). Both are tried by the caller.
std::string DpkgListName(const DpkgPackage& p, bool withArchitecture);

}  // namespace tavrin::collectors
