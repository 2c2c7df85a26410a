// Which collectors each section of a page shows, so a section can say that it is empty because
// a collector was abandoned at the time limit rather than because the machine has nothing.
//
// An abandoned collector leaves a fresh, never-refreshed one in its slot: its rows would be
// defaults ("1 processor", "Unknown vendor") or nothing, with reasons that blame the machine.
#pragma once

#include <string_view>
#include <vector>

#include "pages/fill_context.h"

namespace tavrin::pages {

class Page;

/// The component names of the collectors ("CPU", "Machine") whose data section `sectionIndex`
/// of the page `categoryKey` shows; empty for an unknown page or section.
const std::vector<std::string_view>& SectionCollectors(std::string_view categoryKey,
                                                       int sectionIndex);

/// Marks what abandoned collectors left behind: a section whose collectors were all abandoned
/// loses the rows their stand-ins gave and says it timed out; a section that still has a
/// collector that answered keeps its rows and lists each abandoned one as a missing value.
void NoteAbandonedCollectors(const FillContext& ctx, Page& page);

/// After a filler has run: the time-out notes above, then every empty section's reason.
void ExplainFilledPage(const FillContext& ctx, Page& page);

}  // namespace tavrin::pages
