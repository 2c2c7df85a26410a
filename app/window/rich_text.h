// The label texts carry a small markup: <b>, and <font color = "$BBGGRR"> with the colour
// written blue-green-red. These turn it into what Qt's rich text understands, or into plain
// text for places that show no markup.
#pragma once

#include <string>
#include <string_view>

#include "pages/markup.h"

namespace tavrin::window {

/// Whether `text` holds markup of the label texts (so it must be drawn as rich text).
bool HasLabelMarkup(std::string_view text);

/// `text` with every colour "$BBGGRR" turned into "#RRGGBB" and the blanks around "=" in
/// attributes removed; other markup is kept.
std::string ToQtRichText(std::string_view text);

/// Plain text of a label: shared with the command line and the reports.
using pages::StripMarkup;

}  // namespace tavrin::window
