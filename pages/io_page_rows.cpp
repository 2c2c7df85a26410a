// Printers, sound devices and Bluetooth devices of the I/O page.
#include <ctime>

#include "collectors/devices/vsi_bluetooth.h"
#include "collectors/os/os_dates.h"
#include "collectors/os/vsi_operating_system.h"
#include "collectors/system/vsi_media.h"
#include "collectors/system/vsi_printers.h"
#include "collectors/system_info.h"
#include "pages/io_page_rows.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/labels.h"

namespace tavrin::pages::io_rows {
namespace {

// The spooler's driver answers of a Windows printer: its file, the file's version and the
// port monitor.
void AddWindowsDriverRows(const FillContext& ctx, Page& page, const collectors::TPrinterRecord& p) {
  constexpr int k = io_section::kPrinters;
  AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_DRIVER_FILE), p.DriverPath, "", true, 0,
            RowMeta{p.DriverSource});
  AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_HARD_DRIVER_VERSION), p.DriverVersion, "", true, 0,
            RowMeta{p.DriverSource.ok() ? p.DriverVersionSource : p.DriverSource});
  AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_MONITOR), p.Monitor, "", true, 0,
            RowMeta{p.DriverSource});
}

// The multimedia devices of a Windows machine's device list, naming the sound card and the
// game port.
void AddWindowsMediaDeviceRows(const FillContext& ctx, Page& page,
                               const collectors::TVexa_Media& media) {
  constexpr int k = io_section::kAudio;
  for (std::size_t i = 0; i < media.Devices.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    const std::string& kind = index == media.SoundCardIndex  ? lbl::S_IO_SOUND_CARD
                              : index == media.GamePortIndex ? lbl::S_IO_GAME_PORT
                                                             : lbl::S_IO_MEDIA_DEVICE;
    AddItemEx(ctx, page, k, 3, media.Devices[i], kind, "", false, 0, RowMeta{media.DevicesSource});
  }
}

// A Bluetooth time as a short date in the user's locale picture. A Windows device search keeps
// calendar fields, so its times are shown as they were recorded; BlueZ's are seconds since
// 1970 UTC, shown as the local date.
std::string BluetoothDate(const FillContext& ctx, int64_t seconds, bool recordedCalendar) {
  const std::string& picture = ctx.info.OS().LocaleInfo().ShortDateFormat;
  if (!recordedCalendar) return LocalShortDate(picture, seconds);
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return {};
  return collectors::ShortDateText(picture, tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                                   static_cast<unsigned>(tm.tm_mday));
}

// A device's value: its major class, pairing and connection state, and when it was last used
// (and, from a Windows device search, last seen).
std::string BluetoothDeviceText(const FillContext& ctx, const collectors::TBTDevice& d,
                                bool windows) {
  std::vector<std::string> parts{std::string(collectors::MajorDeviceClassName(d.Class))};
  if (d.Authenticated)
    parts.push_back(lbl::S_IO_BT_PAIRED);
  else if (d.Remembered)
    parts.push_back(lbl::S_IO_BT_REMEMBERED);
  if (d.Connected) parts.push_back(lbl::S_IO_BT_CONNECTED);
  if (d.LastUsed)
    parts.push_back(FormatText(lbl::S_LASTUSED, {BluetoothDate(ctx, *d.LastUsed, windows)}));
  if (windows && d.LastSeen)
    parts.push_back(FormatText(lbl::S_IO_BT_LAST_SEEN, {BluetoothDate(ctx, *d.LastSeen, true)}));
  return Joined(parts);
}

// The devices of a Windows device search: no radios are listed, and each device tells when
// it was last used and last seen.
void AddWindowsBluetoothRows(const FillContext& ctx, Page& page, const collectors::TVexa_BT& bt) {
  constexpr int k = io_section::kBluetooth;
  const RowMeta meta{bt.Source};
  for (const auto& d : bt.Devices) {
    AddItemEx(ctx, page, k, -1, d.Name, BluetoothDeviceText(ctx, d, true), "", false, 0, meta);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_BT_ADDRESS), d.Address, "", false, 0,
              RowMeta{bt.Source, true});
  }
  if (bt.Devices.empty()) AddNoItems(ctx, page, k, bt.Source);
}

}  // namespace

void AddPrinterRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kPrinters;
  const auto& printers = ctx.info.Printers();
  const RowMeta meta{printers.Source};
  for (const auto& p : printers.Printers()) {
    const bool isDefault = p.PrinterName == printers.DefaultPrinter;
    // The port is a device address that may name a host and a user: maskable, never shown
    // with credentials (the collector leaves them out).
    AddItemEx(ctx, page, k, -1,
              isDefault ? FormatText(lbl::S_IO_DEFAULT_PRINTER, {p.PrinterName}) : p.PrinterName,
              p.Driver.empty() ? lbl::S_NA : p.Driver, p.Port, false, 0,
              RowMeta{printers.Source, true});
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_LOCATION), p.Location, "", true, 0,
              meta);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_COMMENT), p.Comment, "", true, 0,
              meta);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_SHARE), p.Share, "", true, 0, meta);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_PRINTER_STATE), p.State, p.StateReasons, true,
              0, meta);
    if (printers.FromWindows) AddWindowsDriverRows(ctx, page, p);
  }
  if (printers.PrinterCount() == 0) AddNoItems(ctx, page, k, printers.Source);
}

void AddAudioRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kAudio;
  const auto& media = ctx.info.Media();
  const RowMeta meta{media.Source};
  if (media.FromWindows) AddWindowsMediaDeviceRows(ctx, page, media);
  for (const auto& card : media.Cards) {
    std::string driver = card.Module;
    if (!card.ModuleVersion.empty())
      driver = FormatText(lbl::S_IO_MODULE_VERSION, {card.Module, card.ModuleVersion});
    AddItemEx(ctx, page, k, 3, card.LongName.empty() ? card.ShortName : card.LongName,
              lbl::S_IO_SOUND_CARD, driver, false, 0, meta);
  }
  const std::pair<const std::vector<std::string>*, const std::string*> lists[] = {
      {&media.WaveIn, &lbl::S_MULT_WAVE_IN},
      {&media.WaveOut, &lbl::S_MULT_WAVE_OUT},
      {&media.MIDIIn, &lbl::S_MULT_MIDI_IN},
      {&media.MIDIOut, &lbl::S_MULT_MIDI_OUT},
      {&media.AUX, &lbl::S_AUX},
      {&media.Mixer, &lbl::S_MIXER}};
  for (const auto& [list, caption] : lists)
    for (const auto& item : *list) AddItemEx(ctx, page, k, 3, item, *caption, "", false, 0, meta);
  if (page.Sections()[k].Items.empty()) AddNoItems(ctx, page, k, media.Source);
  if (media.FromWindows) return;
  AddItemEx(ctx, page, k, -1, lbl::S_IO_SOUND_SERVER, media.SoundServer, "", false, 0,
            RowMeta{media.SoundServerSource});
  AddItemEx(ctx, page, k, -1, lbl::S_IO_SOUND_VERSION, media.DriverVersion, "", true, 0, meta);
}

void AddBluetoothRows(const FillContext& ctx, Page& page) {
  constexpr int k = io_section::kBluetooth;
  const auto& bt = ctx.info.Bluetooth();
  if (bt.FromWindows) return AddWindowsBluetoothRows(ctx, page, bt);
  const RowMeta meta{bt.Source};
  for (const auto& a : bt.Adapters) {
    std::vector<std::string> parts{a.Alias};
    if (a.Powered && !*a.Powered) parts.push_back(lbl::S_IO_BT_POWERED_OFF);
    AddItemEx(ctx, page, k, -1, FormatText(lbl::S_IO_BT_ADAPTER, {a.Name}), a.Address,
              Joined(parts), false, 0, RowMeta{bt.Source, true});
  }
  if (!bt.Adapters.empty() && !bt.ServiceSource.ok() && !bt.ServiceSource.source.empty())
    AddItemEx(ctx, page, k, -1, lbl::S_IO_BT_SERVICE, bt.ServiceSource.Explain(), "", false, 0,
              meta);
  for (const auto& d : bt.Devices) {
    AddItemEx(ctx, page, k, -1, d.Name, BluetoothDeviceText(ctx, d, false), "", false, 0, meta);
    AddItemEx(ctx, page, k, -1, DetailLabel(lbl::S_IO_BT_ADDRESS), d.Address, d.Adapter, false, 0,
              RowMeta{bt.Source, true});
  }
  if (bt.Devices.empty() && bt.Adapters.empty()) {
    const auto& why =
        bt.ServiceSource.ok() || bt.ServiceSource.source.empty() ? bt.Source : bt.ServiceSource;
    AddNoItems(ctx, page, k, why);
  }
}

}  // namespace tavrin::pages::io_rows
