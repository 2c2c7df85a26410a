// The header block of a report: who made it, when, with which program, and the summary of
// the machine that the General page keeps.
#pragma once

#include <ctime>
#include <string>

#include "report/report_document.h"

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::report {

/// `when` as the user's locale writes a short date and a long time (strftime "%x %X").
/// When SOURCE_DATE_EPOCH is set (the reproducible-builds convention), that moment in UTC
/// instead of `when`, so a report can be made again byte for byte.
std::string GeneratedTime(std::time_t when);

/// The same moment as GeneratedTime in ISO 8601 with the local UTC offset
/// ("2026-01-15T10:30:00+01:00"); with SOURCE_DATE_EPOCH that moment with "+00:00".
std::string GeneratedIsoTime(std::time_t when);

/// The header of a report made now, from the helper library and the controller's summary.
ReportHeader CurrentReportHeader(const gather::TGetFunctionsClass& controller);

}  // namespace tavrin::report
