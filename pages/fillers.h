// The page fillers, one per information page, and the shape they share.
#pragma once

#include "pages/fill_context.h"
#include "pages/page_model.h"

namespace tavrin::pages {

void FillGeneralPage(const FillContext& ctx, Page& page);
void FillWindowsPage(const FillContext& ctx, Page& page);
void FillCpuPage(const FillContext& ctx, Page& page);
void FillCpuAdvancedPage(const FillContext& ctx, Page& page);
void FillDisplayPage(const FillContext& ctx, Page& page);
void FillDisplayAdvancedPage(const FillContext& ctx, Page& page);
void FillMemoryPage(const FillContext& ctx, Page& page);
void FillPerformancePage(const FillContext& ctx, Page& page);
void FillDrivesPage(const FillContext& ctx, Page& page);
void FillStoragePage(const FillContext& ctx, Page& page);
void FillProgramsPage(const FillContext& ctx, Page& page);
void FillIoPage(const FillContext& ctx, Page& page);
void FillNetworkPage(const FillContext& ctx, Page& page);
void FillDevicesPage(const FillContext& ctx, Page& page);

}  // namespace tavrin::pages
