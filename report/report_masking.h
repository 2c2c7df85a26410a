// Reports meant for posting in public: every value marked sensitive (serial numbers, MAC
// addresses, user and host names, machine ids) is replaced with a placeholder.
//
// Placeholders are numbered in order of first appearance ("[masked-1]", "[masked-2]"), not
// derived from the value: a hash of a MAC address or a short serial could be reversed by
// trying every candidate. The same value always gets the same placeholder within a report,
// and the same pages give the same placeholders in every report kind, so a reader still sees
// which rows share a value.
#pragma once

#include "report/report_document.h"

namespace tavrin::report {

/// Replaces the header's user and system name, and the value of every row marked sensitive.
/// Any other text of the report that contains one of these values as a whole word (a host
/// name inside a longer name, a serial in a comment) gets the same placeholder there.
void MaskSensitive(ReportDocument& doc);

}  // namespace tavrin::report
