// The I/O and USB devices page.
// Its rows come with the collectors that feed it; until then the page shows its sections empty.
#include "pages/fillers.h"

namespace tavrin::pages {

void FillIoPage(const FillContext&, Page&) {}

}  // namespace tavrin::pages
