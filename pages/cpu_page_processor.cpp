// The processor's rows of the system devices page.
#include "pages/cpu_page.h"

namespace tavrin::pages {

void AddProcessorRows(const gather::TGetFunctionsClass&, Page&) {}

}  // namespace tavrin::pages
