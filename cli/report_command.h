// tavrin-cli --report: the report of the gathered pages, without any display.
#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "gather/controller.h"

namespace tavrin::cli {

/// Writes the report `options` ask for: to standard output for "-o -", to the named file for
/// "-o FILE", else into the report folder (the path written goes to `out`). Never opens a
/// viewer. Returns the exit code; failures are explained on `err` with path and reason.
int WriteReportCommand(const gather::TGetFunctionsClass& controller, const CliOptions& options,
                       std::ostream& out, std::ostream& err);

}  // namespace tavrin::cli
