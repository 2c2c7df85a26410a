// The drives page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillDrivesPage(const FillContext&, Page&) {}

}  // namespace tavrin::pages
