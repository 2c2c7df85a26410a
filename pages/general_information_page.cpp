// The General page: a summary of the machine.
#include "collectors/cpu/vsi_cpu.h"
#include "collectors/devices/vsi_devices.h"
#include "collectors/display/vsi_display.h"
#include "collectors/firmware/vsi_machine.h"
#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_software.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system/vsi_apm.h"
#include "collectors/system/vsi_memory.h"
#include "collectors/system/vsi_process_list.h"
#include "collectors/system_info.h"
#include "pages/fillers.h"
#include "pages/health_summary.h"
#include "pages/language_text.h"
#include "pages/memory_rows.h"
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

// The installed memory in the words of the introduction panel, so both read the same; the
// report header repeats it.
void AddInstalledMemoryRow(const FillContext& ctx, Page& page,
                           const collectors::TVexa_SystemInfo& info) {
  auto memory = info.Find<collectors::TVexa_Memory>();
  if (!memory || !memory->Available) return;
  const auto bytes = static_cast<uint64_t>(memory->PhysicalTotal);
  const std::string installed = InstalledMemoryText(bytes);
  AddItem(ctx, page, kHardware, lbl::S_GEN_INSTALLED, installed, "", false,
          {memory->Source, false, Quantity::Of(bytes, QuantityUnit::kBytes)});
  ctx.summary.installed_memory = installed;
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
  AddInstalledMemoryRow(ctx, page, info);
  // The video card row goes before the installed memory; the default printer follows it.
}

}  // namespace

std::string DiskHealth(const std::vector<collectors::TDeviceInfo>& disks) {
  if (disks.empty()) return {};
  std::vector<std::string> failing;
  const platform::Provenance* why = nullptr;
  bool checked = false;
  for (const collectors::TDeviceInfo& d : disks) {
    bool bad = false;
    if (d.Smart) {
      checked = true;
      for (const collectors::SmartAttribute& a : d.Smart->attributes)
        if (a.status == collectors::SmartStatus::kPrefailFailing) bad = true;
    }
    // Spare below its threshold, reliability degraded, read-only, volatile backup failed; a
    // temperature warning passes with the heat and says nothing of the drive's life.
    if (d.Nvme) {
      checked = true;
      if (d.Nvme->criticalWarning & 0x1D) bad = true;
    }
    if (!d.Smart && !d.Nvme && !why) why = &d.SmartSource;
    if (bad) failing.push_back(d.Name.empty() ? d.Model : d.Name);
  }
  if (!failing.empty()) {
    std::string names;
    for (const std::string& n : failing) names += (names.empty() ? "" : ", ") + n;
    return FormatText(lbl::S_GEN_HEALTH_DISKS_FAILING, {std::to_string(failing.size()), names});
  }
  if (checked) return lbl::S_GEN_HEALTH_DISKS_PASS;
  return FormatText(lbl::S_GEN_HEALTH_SMART_UNKNOWN, {why ? why->Explain() : std::string()});
}

std::string BatteryHealth(const std::vector<collectors::TBatteryRecord>& batteries,
                          const platform::Provenance& source) {
  if (batteries.empty()) return {};
  std::vector<std::string> parts;
  bool unknown = false;
  for (const collectors::TBatteryRecord& b : batteries) {
    const auto wear = b.WearLevel();
    if (!wear) {
      unknown = true;
      continue;
    }
    if (*wear >= 50.0)
      parts.push_back(FormatText(lbl::S_GEN_HEALTH_BATTERY_WORN,
                                 {b.DeviceName, std::to_string(static_cast<int>(*wear)) + " %"}));
  }
  if (!parts.empty()) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : "; ") + p;
    return text;
  }
  if (unknown)
    return FormatText(
        lbl::S_GEN_HEALTH_BATTERY_UNKNOWN,
        {source.ok() ? std::string(lbl::S_GEN_HEALTH_NO_DESIGN_CAPACITY) : source.Explain()});
  return lbl::S_GEN_HEALTH_BATTERY_OK;
}

namespace {

// One line on what needs attention: devices without a driver from the device list, the
// disks' S.M.A.R.T. verdict and the batteries' wear, each said to be unknown with its reason
// rather than left out, so silence never reads as "all well".
void AddHealthRow(const FillContext& ctx, Page& page, const collectors::TVexa_SystemInfo& info) {
  const auto devices = info.Find<collectors::TVexa_Devices>();
  const auto storage = info.Find<collectors::TVexa_Storage>();
  const auto power = info.Find<collectors::TVexa_APM>();
  if (!devices && !storage && !power) return;
  std::vector<std::string> parts;
  // Only the Linux device model tells a device without a driver; a Windows registry's device
  // tree says nothing of it.
  if (devices && devices->OsVersionSnapshot().platform == platform::OsPlatform::Linux &&
      devices->DeviceCount() > 0) {
    uint64_t withoutDriver = 0;
    for (const collectors::TDevice& d : devices->List())
      if (d.Problem == platform::DeviceProblem::NoDriver ||
          d.Problem == platform::DeviceProblem::ProbeFailed)
        ++withoutDriver;
    parts.push_back(withoutDriver == 0
                        ? lbl::S_GEN_HEALTH_ALL_DRIVERS
                        : FormatText(lbl::S_GEN_HEALTH_NO_DRIVER, {std::to_string(withoutDriver)}));
  }
  if (storage) parts.push_back(DiskHealth(storage->PhysicalDevices()));
  if (power) parts.push_back(BatteryHealth(power->BatteryList, power->Source));
  std::string value;
  for (const std::string& part : parts)
    if (!part.empty()) value += (value.empty() ? "" : "; ") + part;
  const platform::Provenance source = devices   ? devices->Source
                                      : storage ? storage->ListSource()
                                                : power->Source;
  AddItem(ctx, page, kHardware, lbl::S_GEN_HEALTH, value, "", false, {source});
}

// "1157 programs": the number, a blank and the unit text, whose own leading blank AddItem
// folds into the first.
std::string CountText(uint64_t count, const std::string& unit) {
  return std::to_string(count) + " " + unit;
}

void AddSoftwareRows(const FillContext& ctx, Page& page, const collectors::TVexa_SystemInfo& info) {
  if (const auto software = info.Find<collectors::TVexa_Software>()) {
    const auto& source = software->ValueSources().records;
    const bool known = source.ok() || software->Count() > 0;
    AddItem(ctx, page, kSoftware, lbl::S_GEN_INSTALLED_PROGRAMS,
            known ? CountText(software->Count(), lbl::S_COUNT_PROGRAM) : "", "", false,
            {source, false, Quantity::Of(software->Count(), QuantityUnit::kCount)});
  }
  if (const auto processes = info.Find<collectors::TVexa_ProcessList>()) {
    const bool known = processes->ProcessSource.ok() || processes->ProcessCount() > 0;
    const auto count = static_cast<uint64_t>(processes->ProcessCount());
    AddItem(ctx, page, kSoftware, lbl::S_GEN_RUNNING_PROC,
            known ? CountText(count, lbl::S_COUNT_PROCESSES) : "", "", false,
            {processes->ProcessSource, false, Quantity::Of(count, QuantityUnit::kCount)});
  }
  const auto engines = info.Find<collectors::TVexa_Engines>();
  if (!engines) return;
  AddItem(ctx, page, kSoftware, lbl::S_GEN_IE_VERSION, engines->IE, "", false);
  // The DirectX version comes with a DirectX collector, which Windows sources alone have.
  std::string dotNet = engines->NET;
  for (const collectors::TRuntimeRecord& r : engines->Runtimes)
    if (r.Id == "dotnet" && dotNet.empty()) dotNet = r.Version;
  AddItem(ctx, page, kSoftware, lbl::S_GEN_DOTNET_VERSION, dotNet, "", /*advancedOnly=*/true);
  AddItem(ctx, page, kSoftware, lbl::S_PRG_OFFICE, engines->Office.InstalledDescription(), "",
          false);
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
    if (auto printers = info->Find<collectors::TVexa_Printers>())
      AddItem(ctx, page, kHardware, lbl::S_GEN_DEFAULTPRINTER, printers->DefaultPrinter, "", false,
              {printers->Source});
    AddHealthRow(ctx, page, *info);

    AddSoftwareRows(ctx, page, *info);
  }
}

}  // namespace tavrin::pages
