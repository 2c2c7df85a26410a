// The video page: adapter and monitor.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillDisplayPage(const FillContext&, Page&) {}

}  // namespace tavrin::pages
