// The firmware's rows of the system devices page.
#include "pages/cpu_page.h"

namespace tavrin::pages {

void AddFirmwareRows(const gather::TGetFunctionsClass&, Page&) {}

}  // namespace tavrin::pages
