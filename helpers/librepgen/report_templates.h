// The style sheets built into the report library, found by resource name and type as the
// program names them ("REPORT_TEMPLATE" of type "TEMPLATES").
#pragma once

#include <optional>
#include <string_view>

namespace tavrin::helpers {

/// The style sheet text, or nothing when the library has no such template. Names and types
/// compare without regard to case.
std::optional<std::string_view> FindReportTemplate(std::string_view name, std::string_view type);

/// Generated at build time from report_template.xsl.
extern const std::string_view kReportTemplateXsl;

}  // namespace tavrin::helpers
