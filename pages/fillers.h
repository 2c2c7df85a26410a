// The page fillers, one per information page, and the shape they share.
#pragma once

#include <functional>
#include <string_view>

#include "pages/page_model.h"

namespace tavrin::gather {
class TGetFunctionsClass;
}

namespace tavrin::pages {

/// The common shape of a filler: the page display first (which says whether to go on), nothing
/// while a gathering runs, then the page's rows are cleared and `addRows` adds them anew. An
/// exception while adding ends the refill and keeps the rows added so far.
void FillPage(gather::TGetFunctionsClass& controller, const void* sender,
              std::string_view categoryKey, const std::function<void(Page&)>& addRows);

void FillGeneralPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillWindowsPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillCpuPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillCpuAdvancedPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillDisplayPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillDisplayAdvancedPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillMemoryPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillPerformancePage(gather::TGetFunctionsClass& controller, const void* sender);
void FillDrivesPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillStoragePage(gather::TGetFunctionsClass& controller, const void* sender);
void FillProgramsPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillIoPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillNetworkPage(gather::TGetFunctionsClass& controller, const void* sender);
void FillDevicesPage(gather::TGetFunctionsClass& controller, const void* sender);

}  // namespace tavrin::pages
