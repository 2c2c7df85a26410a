// Shared by the report tests: the hand-made snapshot, pages filled from it, a fixed header,
// golden files with their rewrite switch, and the checks of the written documents.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gather/controller.h"
#include "platform/services.h"
#include "report/report_document.h"

namespace tavrin::report::test {

/// tests/fixtures/report
std::filesystem::path ReportFixtures();
/// The replayed hand-made snapshot (tests/fixtures/report/snapshot).
std::shared_ptr<const platform::Services> ReplayedSnapshot();

/// What the snapshot holds that a public report must not show.
std::vector<std::string> SnapshotSecrets();

/// The pages stay mostly empty until their collectors land, so the tests write rows into the
/// controller's pages straight from the replayed services, the way a filler would: host and
/// user names, a MAC address and serials marked sensitive; odd characters and a caption
/// longer than 40 characters in the registry's owner row; one section left empty.
void FillPagesFromSnapshot(gather::TGetFunctionsClass& controller,
                           const platform::Services& services);

/// A header whose time, user and version never change.
ReportHeader FixedHeader(const platform::Services& services);

/// Compares `actual` with the golden file `name` under tests/fixtures/report/golden, or
/// rewrites the file when TAVRIN_REWRITE_GOLDENS=1.
void ExpectGolden(const std::string& name, const std::string& actual);

/// Parses `xml` with libxml2 (the copy the report library loaded); empty when well-formed,
/// else the parser's complaint.
std::string XmlProblem(const std::string& xml);

/// The XML report's section titles and row fields in document order, as the visible text
/// shows them (blanks collapsed, trimmed).
std::vector<std::string> XmlVisibleTexts(const ReportDocument& doc);

/// The visible text of an HTML document: tags removed, entities decoded, blanks collapsed.
std::string HtmlVisibleText(const std::string& html);

/// Runs `command` through the shell; its standard output, or nothing when it cannot run.
std::string CommandOutput(const std::string& command, int* exitCode = nullptr);
bool HaveCommand(const std::string& name);

}  // namespace tavrin::report::test
