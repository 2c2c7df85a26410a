// The storage devices page: one physical device's identification, geometry, properties,
// S.M.A.R.T. state and partitions.
#include <algorithm>
#include <cstdio>

#include "collectors/storage/scsi_data.h"
#include "collectors/storage/storage_rules.h"
#include "collectors/storage/vsi_storage.h"
#include "collectors/system_info.h"
#include "helpers/accessors.h"
#include "pages/drives_pages.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::SmartStatus;
using collectors::TDeviceInfo;
using collectors::TVexa_Storage;
using namespace storage_section;

std::string Num(uint64_t n) {
  return std::to_string(n);
}
// Zero stands for "not reported" in the fields that come from identification data.
std::string NonZero(uint64_t n) {
  return n ? Num(n) : std::string();
}

RowMeta Count(const platform::Provenance& src, uint64_t n) {
  return RowMeta{src, false, Quantity::Of(n, QuantityUnit::kCount)};
}
RowMeta Bytes(const platform::Provenance& src, uint64_t n) {
  return RowMeta{src, false, Quantity::Of(n, QuantityUnit::kBytes)};
}

std::string SizeText(uint64_t bytes) {
  return helpers::Helper().FormatBytes(helpers::kFormatAuto, UserThousandSeparator(), bytes, 2, 0,
                                       "");
}

// Every SCSI device the kernel knows, by address, with its type and INQUIRY texts.
void AddScsiDeviceRows(const FillContext& ctx, Page& page, const TVexa_Storage& storage) {
  const auto& list = storage.ScsiDevices();
  if (!list) {
    AddItem(ctx, page, kGeneral, lbl::S_IDE_SCSI_DEVICES, "", "", true, {list.source});
    return;
  }
  for (const platform::ScsiDeviceRecord& r : *list) {
    const std::string address =
        Num(r.host) + ":" + Num(r.channel) + ":" + Num(r.target) + ":" + Num(r.lun);
    std::string value = r.type ? collectors::ScsiDeviceTypeName(*r.type) : std::string();
    std::string texts;
    for (const std::string* t : {&r.vendor, &r.model, &r.revision})
      if (!t->empty()) texts += (texts.empty() ? "" : " ") + *t;
    if (!texts.empty()) value += (value.empty() ? "" : ": ") + texts;
    if (!r.state.empty()) value += " (" + r.state + ")";
    AddItem(ctx, page, kGeneral, FormatText(lbl::S_IDE_SCSI_DEVICE, {address}), value, "", true,
            {r.source});
  }
}

void AddGeneralRows(const FillContext& ctx, Page& page, const TDeviceInfo& d,
                    const TVexa_Storage& storage) {
  AddItem(ctx, page, kGeneral, lbl::S_IDE_MODEL, d.Model, "", false, {d.IdentifySource});
  AddItem(ctx, page, kGeneral, lbl::S_IDE_REVISION, d.Revision, "", false, {d.IdentifySource});
  AddItem(ctx, page, kGeneral, lbl::S_IDE_SERIAL, d.SerialNumber, "", false,
          {d.IdentifySource, true});
  const std::string bus = d.Transport.empty() ? collectors::BusTypeName(d.BusType)
                                              : collectors::TransportName(d.Transport);
  if (d.DeviceType == collectors::kDeviceTypeDisk)
    AddItem(ctx, page, kGeneral, lbl::S_IDE_DEVICETYPE_HARD, bus + lbl::S_COUNT_HARD_DRIVE, "",
            false);
  else if (d.DeviceType == collectors::kDeviceTypeCdRom)
    AddItem(ctx, page, kGeneral, lbl::S_IDE_DEVICETYPE_CD, bus + lbl::S_COUNT_CD_DVD, "", false);
  else
    AddItem(ctx, page, kGeneral, lbl::S_IDE_DEVICEOTHER, bus + lbl::S_COUNT_DEV_OTHER, "", false);
  // Drives from ATA/ATAPI-8 on set word 80's bits 8 and up, which the legacy number misreads;
  // the major version bit is then the honest number.
  const uint32_t version = d.AtaMajorVersion ? d.AtaMajorVersion : d.ATAVersion;
  if (version) {
    const std::string standard = collectors::AtaStandardName(version);
    AddItem(ctx, page, kGeneral, lbl::S_IDE_STANDARDS,
            standard + lbl::S_COUNT_ATA_VERSION + " " + Num(version), "", false,
            {d.IdentifySource});
  }
  // A Windows device is named by the device name it was opened as.
  AddItem(ctx, page, kGeneral, lbl::S_IDE_DEVICE_NAME, d.Name.empty() ? d.DevicePath : d.Name, "",
          false);
  AddItem(ctx, page, kGeneral, lbl::S_IDE_VENDOR, d.Vendor, "", false);
  AddItem(ctx, page, kGeneral, lbl::S_IDE_CAPACITY, d.Size > 0 ? SizeText(d.Size) : "", "", false,
          Bytes(d.Source, d.Size));
  AddItem(ctx, page, kGeneral, lbl::S_IDE_WWN, d.Wwn, "", true, {d.Source, true});
  if (d.Rotational || d.RotationRate) {
    std::string medium;
    if (d.RotationRate == 1 || (!d.RotationRate && !*d.Rotational))
      medium = lbl::S_IDE_SOLID_STATE;
    else if (d.RotationRate > 1)
      medium = FormatText(lbl::S_IDE_RPM, {Num(d.RotationRate)});
    else
      medium = lbl::S_IDE_ROTATING;
    AddItem(ctx, page, kGeneral, lbl::S_IDE_MEDIUM, medium, "", false);
  }
  AddItemEx(ctx, page, kGeneral, d.Removable ? 0 : 1, lbl::S_IDE_REMOVABLE,
            d.Removable ? lbl::S_YES : lbl::S_NO, "", false, 0);
  if (d.Checksum && *d.Checksum != collectors::IdentifyChecksum::kAbsent)
    AddItem(ctx, page, kGeneral, lbl::S_IDE_IDENTIFY_CHECKSUM,
            *d.Checksum == collectors::IdentifyChecksum::kValid ? lbl::S_IDE_CHECKSUM_VALID
                                                                : lbl::S_IDE_CHECKSUM_INVALID,
            "", true);
  // A Windows snapshot holds no ASPI layer's list; the rows would only say so.
  if (storage.ByDeviceControls()) return;
  const auto& sg = storage.ScsiGeneric();
  AddItem(ctx, page, kGeneral, lbl::S_IDE_SG_DEVICES, sg ? Num(*sg) : "", "", true,
          Count(sg.source, sg.value_or(0)));
  AddScsiDeviceRows(ctx, page, storage);
}

void AddGeometryRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  const auto& id = d.IdentifySource;
  AddItem(ctx, page, kGeometry, lbl::S_IDE_CYLS, NonZero(d.Cylinders), "", false,
          Count(id, d.Cylinders));
  AddItem(ctx, page, kGeometry, lbl::S_IDE_HEADS, NonZero(d.Heads), "", false, Count(id, d.Heads));
  AddItem(ctx, page, kGeometry, lbl::S_IDE_BPT, NonZero(d.BytesPerTrack), "", false,
          Bytes(id, d.BytesPerTrack));
  AddItem(ctx, page, kGeometry, lbl::S_IDE_BPS, NonZero(d.BytesPerSector), "", false,
          Bytes(d.Source, d.BytesPerSector));
  AddItem(ctx, page, kGeometry, lbl::S_IDE_SPT, NonZero(d.SectorsPerTrack), "", false,
          Count(id, d.SectorsPerTrack));
  AddItem(ctx, page, kGeometry, lbl::S_IDE_ADDRSECTORS, NonZero(d.AddressableSectors), "", false,
          Count(d.Source, d.AddressableSectors));
  if (d.LogicalSectorBytes && d.PhysicalSectorBytes)
    AddItem(ctx, page, kGeometry, lbl::S_IDE_SECTOR_SIZES,
            Num(d.LogicalSectorBytes) + " / " + Num(d.PhysicalSectorBytes), "", false,
            Bytes(d.Source, d.PhysicalSectorBytes));
}

std::string PowerModeText(collectors::AtaPowerMode mode) {
  using collectors::AtaPowerMode;
  switch (mode) {
    case AtaPowerMode::kActiveOrIdle:
      return lbl::S_IDE_POWER_ACTIVE;
    case AtaPowerMode::kIdle:
      return lbl::S_IDE_POWER_IDLE;
    case AtaPowerMode::kStandby:
      return lbl::S_IDE_POWER_STANDBY;
    case AtaPowerMode::kSuspended:
      return lbl::S_IDE_POWER_SUSPENDED;
    default:
      return lbl::S_IDE_POWER_UNKNOWN;
  }
}

void AddOpticalRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  const collectors::OpticalCapabilities c = d.Optical.value_or(collectors::OpticalCapabilities{});
  const std::pair<const std::string*, std::optional<bool>> rows[] = {
      {&lbl::S_CD_READS_CD, c.readsCd},       {&lbl::S_CD_WRITES_CDR, c.writesCdR},
      {&lbl::S_CD_WRITES_CDRW, c.writesCdRw}, {&lbl::S_CD_READS_DVD, c.readsDvd},
      {&lbl::S_CD_WRITES_DVDR, c.writesDvdR}, {&lbl::S_CD_WRITES_DVDRAM, c.writesDvdRam},
      {&lbl::S_CD_READS_BD, c.readsBd},       {&lbl::S_CD_WRITES_BDR, c.writesBdR},
      {&lbl::S_CD_WRITES_BDRE, c.writesBdRe}};
  // What a Windows drive's capabilities page adds; the Linux sources never tell it.
  const std::pair<const std::string*, std::optional<bool>> pageOnly[] = {
      {&lbl::S_CD_READS_CDR, c.readsCdR},
      {&lbl::S_CD_READS_CDRW, c.readsCdRw},
      {&lbl::S_CD_READS_DVDR, c.readsDvdR},
      {&lbl::S_CD_READS_DVDRAM, c.readsDvdRam}};
  for (const auto& [label, flag] : rows) {
    if (flag)
      AddItemEx(ctx, page, kProperties, *flag ? 0 : 1, *label, *flag ? lbl::S_YES : lbl::S_NO, "",
                false, 0, {d.OpticalSource});
    else  // unknown: the row's reason is the source's
      AddItem(ctx, page, kProperties, *label, "", "", false, {d.OpticalSource});
  }
  for (const auto& [label, flag] : pageOnly)
    if (flag)
      AddItemEx(ctx, page, kProperties, *flag ? 0 : 1, *label, *flag ? lbl::S_YES : lbl::S_NO, "",
                false, 0, {d.OpticalSource});
  if (c.speed)
    AddItem(ctx, page, kProperties, lbl::S_CD_SPEED,
            FormatText(lbl::S_CD_SPEED_VALUE, {Num(c.speed)}), "", true,
            Count(d.OpticalSource, c.speed));
}

void AddPropertyRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  AddItem(ctx, page, kProperties, lbl::S_IDE_BUFFER_SIZE, NonZero(d.CtlBufSize), "", false,
          Bytes(d.IdentifySource, d.CtlBufSize));
  AddItem(ctx, page, kProperties, lbl::S_IDE_ECC, NonZero(d.ECCCode), "", false,
          Count(d.IdentifySource, d.ECCCode));
  const bool temperature = d.Smart ? d.Smart->temperature.has_value() : d.Nvme.has_value();
  AddItem(ctx, page, kProperties, lbl::S_IDE_TEMPERATUTE,
          temperature ? FormatText(lbl::S_IDE_CELSIUS, {std::to_string(d.Temperature)}) : "", "",
          false,
          RowMeta{d.SmartSource, false, Quantity::Signed(d.Temperature, QuantityUnit::kCelsius)});
  const auto address = [](int v) { return v >= 0 ? std::to_string(v) : std::string(); };
  if (d.PowerMode)
    AddItem(ctx, page, kProperties, lbl::S_IDE_POWER_MODE, PowerModeText(*d.PowerMode), "", false,
            {d.PowerSource});
  if (d.DeviceType == collectors::kDeviceTypeCdRom) AddOpticalRows(ctx, page, d);
  AddItem(ctx, page, kProperties, lbl::S_IDE_HOST, address(d.HaId), "", true);
  AddItem(ctx, page, kProperties, lbl::S_IDE_LUN, address(d.Lun), "", false);
  AddItem(ctx, page, kProperties, lbl::S_IDE_TARGET, address(d.Target), "", false);
}

std::string StatusText(SmartStatus s) {
  switch (s) {
    case SmartStatus::kPassed:
      return lbl::S_SMART_PASSED;
    case SmartStatus::kPrefailFailing:
      return lbl::S_SMART_PREFAIL_FAILING;
    case SmartStatus::kOldAgeFailing:
      return lbl::S_SMART_OLDAGE_FAILING;
    default:
      return lbl::S_SMART_NO_THRESHOLD;
  }
}

std::string CriticalWarningText(uint8_t bits) {
  if (bits == 0) return lbl::S_NVME_WARN_NONE;
  // Bits 0 to 4 of the health log's critical warning byte, in bit order.
  const std::string* names[] = {&lbl::S_NVME_WARN_SPARE, &lbl::S_NVME_WARN_TEMPERATURE,
                                &lbl::S_NVME_WARN_RELIABILITY, &lbl::S_NVME_WARN_READ_ONLY,
                                &lbl::S_NVME_WARN_BACKUP};
  std::string text;
  for (int bit = 0; bit < 5; ++bit)
    if (bits & (1u << bit)) text += (text.empty() ? "" : "; ") + *names[bit];
  if (text.empty()) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", bits);
    text = hex;
  }
  return text;
}

void AddNvmeRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  const collectors::NvmeHealth& h = *d.Nvme;
  const auto& src = d.SmartSource;
  AddItemEx(ctx, page, kSmart, h.criticalWarning ? 1 : 0, lbl::S_NVME_CRITICAL_WARNING,
            CriticalWarningText(h.criticalWarning), "", false, 0, {src});
  AddItem(ctx, page, kSmart, lbl::S_NVME_PERCENT_USED, Num(h.percentageUsed) + " %", "", false,
          RowMeta{src, false, Quantity::Of(h.percentageUsed, QuantityUnit::kPercent)});
  AddItem(ctx, page, kSmart, lbl::S_NVME_SPARE,
          Num(h.availableSpare) + " % (" + Num(h.availableSpareThreshold) + " %)", "", false,
          RowMeta{src, false, Quantity::Of(h.availableSpare, QuantityUnit::kPercent)});
  const uint64_t read = collectors::NvmeHealth::UnitsToBytes(h.dataUnitsRead);
  const uint64_t written = collectors::NvmeHealth::UnitsToBytes(h.dataUnitsWritten);
  AddItem(ctx, page, kSmart, lbl::S_NVME_DATA_READ, SizeText(read), "", false, Bytes(src, read));
  AddItem(ctx, page, kSmart, lbl::S_NVME_DATA_WRITTEN, SizeText(written), "", false,
          Bytes(src, written));
  AddItem(ctx, page, kSmart, lbl::S_IDE_POWER_ON, Num(h.powerOnHours), "", false,
          Count(src, h.powerOnHours));
  AddItem(ctx, page, kSmart, lbl::S_NVME_POWER_CYCLES, Num(h.powerCycles), "", false,
          Count(src, h.powerCycles));
  AddItem(ctx, page, kSmart, lbl::S_NVME_UNSAFE_SHUTDOWNS, Num(h.unsafeShutdowns), "", false,
          Count(src, h.unsafeShutdowns));
  AddItem(ctx, page, kSmart, lbl::S_NVME_MEDIA_ERRORS, Num(h.mediaErrors), "", false,
          Count(src, h.mediaErrors));
  AddItem(ctx, page, kSmart, lbl::S_NVME_ERROR_LOG, Num(h.errorLogEntries), "", true,
          Count(src, h.errorLogEntries));
}

void AddSmartRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  // Whether the feature is there is only known from the drive's own answer.
  if (d.IdentifySource.ok()) {
    AddItemEx(ctx, page, kSmart, d.SMARTSupport ? 0 : 1, lbl::S_IDE_SMART_SUPP,
              d.SMARTSupport ? lbl::S_YES : lbl::S_NO, "", false, 0, {d.IdentifySource});
    AddItemEx(ctx, page, kSmart, d.SMARTActive ? 0 : 1, lbl::S_IDE_SMART_ACT,
              d.SMARTActive ? lbl::S_YES : lbl::S_NO, "", false, 0, {d.IdentifySource});
  }
  if (d.Nvme) AddNvmeRows(ctx, page, d);
  if (d.Smart) {
    if (d.Smart->powerOnHours)
      AddItem(ctx, page, kSmart, lbl::S_IDE_POWER_ON, Num(*d.Smart->powerOnHours), "", false,
              Count(d.SmartSource, *d.Smart->powerOnHours));
    for (const collectors::SmartAttribute& a : d.Smart->attributes) {
      std::string name(collectors::SmartAttributeName(a.id));
      if (name.empty()) name = lbl::S_SMART_UNKNOWN_ATTRIBUTE;
      char id[8];
      std::snprintf(id, sizeof id, "%02X", a.id);
      const std::string value =
          FormatText(lbl::S_SMART_VALUES, {Num(a.current), Num(a.worst),
                                           a.threshold ? Num(*a.threshold) : std::string("-"),
                                           Num(a.raw), StatusText(a.status)});
      const bool bad = a.status == SmartStatus::kPrefailFailing;
      AddItemEx(ctx, page, kSmart, bad ? 1 : 0, FormatText(lbl::S_SMART_ATTRIBUTE, {id, name}),
                value, "", false, a.id, Count(d.SmartSource, a.raw));
    }
  }
  if (d.LeftAsleep && d.PowerMode)
    NoteEmptySection(page, kSmart, FormatText(lbl::S_SMART_ASLEEP, {PowerModeText(*d.PowerMode)}));
  else if (!d.Smart && !d.Nvme && !d.SmartSource.ok() && !d.SmartSource.source.empty())
    NoteEmptySection(page, kSmart, FormatText(lbl::S_SMART_NOT_READ, {d.SmartSource.Explain()}));
}

void AddPartitionRows(const FillContext& ctx, Page& page, const TDeviceInfo& d) {
  for (const std::string& mount : d.MountPoints)
    AddItem(ctx, page, kPartitions, lbl::S_IDE_WHOLE_DEVICE,
            FormatText(lbl::S_IDE_MOUNTED_AT, {mount}), "", false);
  for (const collectors::TPartitionInfo& p : d.Layout) {
    std::string what =
        p.FileSystem.empty() ? SizeText(p.Length) : p.FileSystem + ", " + SizeText(p.Length);
    if (!p.Label.empty()) what += ", \"" + p.Label + "\"";
    const std::string where = p.MountPoint.empty()
                                  ? lbl::S_IDE_NOT_MOUNTED
                                  : FormatText(lbl::S_IDE_MOUNTED_AT, {p.MountPoint});
    AddItem(ctx, page, kPartitions, FormatText(lbl::S_IDE_PARTITION, {p.Name}),
            FormatText(lbl::S_IDE_PARTITION_VALUE, {what, where}), "", false,
            Bytes(d.Source, p.Length));
  }
  if (d.Layout.empty() && d.MountPoints.empty())
    NoteEmptySection(page, kPartitions, lbl::S_IDE_NO_PARTITIONS);
}

}  // namespace

std::vector<ChoiceEntry> StorageChoices(const TVexa_Storage& storage) {
  std::vector<ChoiceEntry> entries;
  int index = 0;
  for (const TDeviceInfo& d : storage.PhysicalDevices()) {
    ChoiceEntry e;
    std::string model = d.Model;
    std::transform(model.begin(), model.end(), model.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // Kernel names tell two identical disks apart; a device without a model has only its name.
    e.caption = model.empty() ? d.Name : d.Name.empty() ? model : model + " (" + d.Name + ")";
    e.image = d.DeviceType == collectors::kDeviceTypeCdRom  ? 2
              : d.DeviceType == collectors::kDeviceTypeDisk ? 1
                                                            : 3;
    e.key = std::to_string(index++);
    entries.push_back(std::move(e));
  }
  return entries;
}

void FillStorageDeviceDetails(const FillContext& ctx, int index, Page& page) {
  const auto storage = ctx.info.Find<TVexa_Storage>();
  if (!storage) return;
  const auto& devices = storage->PhysicalDevices();
  if (index < 0 || index >= static_cast<int>(devices.size())) {
    if (storage->ListSource().source.empty()) return;  // not refreshed yet
    const std::string why = FormatText(lbl::S_IDE_NO_DEVICES, {storage->ListSource().Explain()});
    for (int s = 0; s < kCount; ++s) NoteEmptySection(page, s, why);
    return;
  }
  const TDeviceInfo& d = devices[index];
  AddGeneralRows(ctx, page, d, *storage);
  AddGeometryRows(ctx, page, d);
  AddPropertyRows(ctx, page, d);
  AddSmartRows(ctx, page, d);
  AddPartitionRows(ctx, page, d);
}

void FillStoragePage(const FillContext& ctx, Page& page) {
  FillStorageDeviceDetails(ctx, 0, page);
}

}  // namespace tavrin::pages
