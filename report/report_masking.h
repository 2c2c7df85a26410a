// Reports meant for posting in public: every value marked sensitive (serial numbers, MAC
// addresses, user and host names, machine ids, the environment) is replaced with a
// placeholder.
//
// Masking works on the marked values only and never searches other text for them: a short
// value such as "1" or "C.UTF-8" would otherwise turn up inside versions and feature names.
// A filler that puts a secret into a row marks that row.
//
// Placeholders are numbered in order of first appearance ("[masked-1]", "[masked-2]"), not
// derived from the value: a hash of a MAC address or a short serial could be reversed by
// trying every candidate. The same value always gets the same placeholder within a report,
// and the same pages give the same placeholders in every report kind, so a reader still sees
// which rows share a value.
#pragma once

#include "report/report_document.h"

namespace tavrin::report {

/// Replaces the header's user and system name and the value of every row marked sensitive;
/// the raw number behind a masked value goes too. Values already hidden stay as they are.
void MaskSensitive(ReportDocument& doc);

}  // namespace tavrin::report
