#include "helpers/librepgen/report_templates.h"

#include "helpers/common/guid.h"

namespace tavrin::helpers {

std::optional<std::string_view> FindReportTemplate(std::string_view name, std::string_view type) {
  if (EqualNoCase(type, "TEMPLATES") && EqualNoCase(name, "REPORT_TEMPLATE"))
    return kReportTemplateXsl;
  return std::nullopt;
}

}  // namespace tavrin::helpers
