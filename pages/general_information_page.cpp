// The General page: a summary of the machine.
#include "collectors/cpu/vsi_cpu.h"
#include "collectors/display/vsi_display.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/language_text.h"
#include "pages/page_layouts.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using namespace general_section;

void AddSystemRows(const FillContext& ctx, Page& page,
                   const collectors::TVexa_OperatingSystem& os) {
  const std::string name =
      FormatText("%s (%d.%d.%d) %s",
                 {os.OSName, std::to_string(os.MajorVersion), std::to_string(os.MinorVersion),
                  std::to_string(os.BuildNumber), os.OSEdition});
  AddItem(ctx, page, kGeneral, lbl::S_GEN_WINNAME, name, "", false, {os.ValueSources().identity});
  ctx.summary.windows_name = name;
  AddItem(ctx, page, kGeneral, lbl::S_GEN_LANGUAGE, LanguageText(os), "",
          /*advancedOnly=*/true, {os.ValueSources().languageId});
}

void AddHardwareRows(const FillContext& ctx, Page& page, const collectors::TVexa_SystemInfo& info) {
  const collectors::TVexa_Machine& machine = info.Machine();
  const collectors::TVexa_CPU& cpu = info.CPU();
  AddItem(ctx, page, kHardware, lbl::S_GEN_SYSTEMNAME, machine.SMBIOS.SystemModel, "", false,
          {machine.SMBIOS.TableSource});
  ctx.summary.system_name = machine.SMBIOS.SystemModel;
  AddItem(ctx, page, kHardware, lbl::S_GEN_PROCESSORNAME, cpu.MarketingName(), "", false,
          {cpu.Source()});
  ctx.summary.processor_name = cpu.MarketingName();
  AddItem(ctx, page, kHardware, lbl::S_GEN_BIOSNAME, machine.BIOS.NameString, "", true,
          {machine.BIOS.Source});
  if (auto display = info.Find<collectors::TVexa_Display>())
    AddItem(ctx, page, kHardware, lbl::S_GEN_VIDEOCARD, display->Adapter, "", false,
            {display->AdapterSource});
  // Video card, installed memory and default printer follow with their collectors.
}

}  // namespace

void FillGeneralPage(const FillContext& ctx, Page& page) {
  {
    const collectors::TVexa_SystemInfo* info = &ctx.info;
    // The operating-system collector, when the aggregate holds one (test aggregates may not).
    if (auto os = info->Find<collectors::TVexa_OperatingSystem>()) AddSystemRows(ctx, page, *os);

    AddHardwareRows(ctx, page, *info);
    // Still to come in the hardware section, after the BIOS name:
    //   S_GEN_VIDEOCARD    Display.Adapter
    //   S_GEN_INSTALLED    Memory.PhysicalTotal as a byte size (summary_installed_memory)
    //   S_GEN_DEFAULTPRINTER Printers.DefaultPrinter

    // Software section, in this order, from the software, process, engines and Office
    // collectors:
    //   S_GEN_INSTALLED_PROGRAMS, S_GEN_RUNNING_PROC, S_GEN_IE_VERSION, S_GEN_DIRECTX_VERSION,
    //   S_GEN_DOTNET_VERSION (advanced only), S_PRG_OFFICE
  }
}

}  // namespace tavrin::pages
