// Pages as plain text for the terminal: the page title, its description without markup, then
// each section in the text-report layout (centred title line, right-aligned labels). Columns
// are counted in characters, so translated labels line up.
#pragma once

#include <string>

#include "pages/categories.h"
#include "pages/page_model.h"

namespace tavrin::cli {

struct PageTextOptions {
  bool explain = false;  ///< add the source of each row and the reason of each empty value
};

std::string PageText(const pages::TSICategory& category, const pages::Page& page,
                     const PageTextOptions& options);

}  // namespace tavrin::cli
