#include "cli/cli_host.h"

#include <iostream>

namespace tavrin::cli {

void CliHost::SetStatusText(const std::string& text) {
  if (verbose_) std::cerr << text << '\n';
}

}  // namespace tavrin::cli
