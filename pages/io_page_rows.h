// The row makers of the I/O page, one per section, and what they share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/fill_context.h"
#include "pages/page_model.h"

namespace tavrin::pages::io_rows {

void AddPortRows(const FillContext& ctx, Page& page);
void AddUsbRows(const FillContext& ctx, Page& page);
void AddPrinterRows(const FillContext& ctx, Page& page);
void AddAudioRows(const FillContext& ctx, Page& page);
void AddBluetoothRows(const FillContext& ctx, Page& page);
void AddPowerRows(const FillContext& ctx, Page& page);

/// The one row of a section whose source has nothing: "No items found." with "n/a", and why
/// in the comment and the row's source (`source` when it failed, else `why`).
void AddNoItems(const FillContext& ctx, Page& page, int section, const platform::Provenance& source,
                std::string_view why = {});

/// The label of a row that describes the row above it (a printer's location, a battery's
/// capacity): marked, because the views trim leading blanks and so would lose an indent.
std::string DetailLabel(std::string_view label);

/// The non-empty texts joined by ", ".
std::string Joined(const std::vector<std::string>& parts);

/// `value` with `decimals` digits after the point.
std::string Fixed(double value, int decimals);

}  // namespace tavrin::pages::io_rows
