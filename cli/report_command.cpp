#include "cli/report_command.h"

#include "cli/output_check.h"
#include "report/report_generator.h"

namespace tavrin::cli {

int WriteReportCommand(const gather::TGetFunctionsClass& controller, const CliOptions& options,
                       std::ostream& out, std::ostream& err) {
  const std::optional<report::ReportKind> kind = report::ParseReportKind(*options.report);
  if (!kind) {
    err << "tavrin-cli: unknown report kind '" << *options.report << "'\n";
    return 2;
  }
  // With -o the report folder is never made: the base file name is not used then.
  std::optional<report::TReportGenerator> generator;
  if (options.report_file)
    generator.emplace(controller, std::string());
  else
    generator.emplace(controller);
  generator->SetOpenResult(false);
  generator->SetMask(options.mask);
  report::RegisterReportPages(*generator, controller);

  if (options.report_file && *options.report_file == "-") {
    const std::string bytes = generator->RenderReport(*kind);
    if (bytes.empty()) {
      err << "tavrin-cli: the report could not be made\n";
      return 1;
    }
    out << bytes;
    return FlushedOrSaid(out, err, "standard output") ? 0 : 1;
  }
  const helpers::ReportSaveResult result = options.report_file
                                               ? generator->WriteReport(*kind, *options.report_file)
                                               : generator->MakeReport(*kind);
  if (!result.ok) {
    err << "tavrin-cli: cannot write the report " << result.fileName << ": " << result.error
        << '\n';
    return 1;
  }
  if (!options.report_file) out << result.fileName << '\n';
  return 0;
}

}  // namespace tavrin::cli
