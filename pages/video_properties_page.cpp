// The video page: every display adapter, the session's screens and every monitor.
#include "collectors/display/vsi_display.h"
#include "collectors/display/vsi_monitor.h"
#include "collectors/system_info.h"
#include "pages/display_text.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "pages/value_format.h"
#include "text/format.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TMonitorRecord;
using collectors::TVexa_Display;
using platform::Provenance;
using platform::Status;
namespace dt = display_text;

constexpr int kAdapter = display_section::kAdapter;
constexpr int kMonitor = display_section::kMonitor;

std::string WithUnit(int64_t v, const std::string& unit) {
  return std::to_string(v) + unit;
}

// The graphics interface version: OpenGL and Vulkan on Linux, DirectX for a Windows snapshot.
std::string GraphicsVersionText(const TVexa_Display& d, Provenance& source) {
  if (!text::PlatformWordingActive()) {
    source = d.DirectXVersion.source;
    return d.DirectXVersion.value_or("");
  }
  std::string text;
  if (d.Apis.openGlVersion) text = "OpenGL " + *d.Apis.openGlVersion;
  if (d.Apis.vulkanVersion && d.Apis.vulkanDevices)
    text += (text.empty() ? "" : ", ") + std::string("Vulkan ") + *d.Apis.vulkanVersion;
  source = d.Apis.openGlVersion.source;
  if (text.empty()) {
    source.detail = d.Apis.openGlVersion.source.Explain() + "; " +
                    (d.Apis.vulkanDevices.source.ok() ? d.Apis.vulkanVersion.source.Explain()
                                                      : d.Apis.vulkanDevices.source.Explain());
  }
  return text;
}

void AddAdapterRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  if (d.Adapters.empty()) {
    AddItem(ctx, page, kAdapter, lbl::S_VIDEO_NAME, "", "", false, {d.AdapterSource});
  }
  const bool linux = text::PlatformWordingActive();
  const Provenance notOnLinux = Provenance::Failure(Status::NotSupported, "display driver",
                                                    "the Linux kernel reports no such value");
  for (const auto& a : d.Adapters) {
    AddItem(
        ctx, page, kAdapter, lbl::S_VIDEO_NAME,
        d.Adapters.size() > 1 && a.Primary ? FormatText(lbl::S_VIDEO_PRIMARY, {a.Name}) : a.Name,
        "", false, {a.Source, false, {}, "adapter"});
    std::string memory = a.Memory ? FormatByteSizeText(a.Memory) : "";
    if (a.MemoryIsAperture) memory = FormatText(lbl::S_VIDEO_APERTURE, {memory});
    AddItem(ctx, page, kAdapter, lbl::S_VIDEO_MEMORY, memory, "", false,
            {a.MemorySource, false, pages::Quantity::Of(a.Memory, QuantityUnit::kBytes)});
    AddItem(ctx, page, kAdapter, lbl::S_VIDEO_CHIPSET, a.Chipset, "", false,
            {linux ? notOnLinux : a.MemorySource});
    if (!linux) {
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_BIOS, a.BIOSString, "", false, {a.MemorySource});
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_BIOSDATE, a.BIOSDate, "", false, {a.BiosSource});
    }
    AddItem(ctx, page, kAdapter, lbl::S_VIDEO_BIOS_VERSION, a.BIOSVersion, "", false,
            {a.BiosSource});
    if (linux) {
      std::string driver = a.Driver;
      if (!driver.empty() && !a.DriverVersion.empty()) driver += " " + a.DriverVersion;
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_KERNEL_DRIVER, driver, "", false,
              {Provenance::Failure(Status::Missing, a.Location, "no kernel driver is bound")});
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_LOCATION, a.Location, "", true, {a.Source});
      std::string image;
      if (a.BiosImage.ok()) image = lbl::S_VIDEO_BIOS_READABLE;
      if (a.BiosImage.status == Status::PermissionDenied) image = lbl::S_VIDEO_BIOS_ROOT_ONLY;
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_BIOS_IMAGE, image, "", true, {a.BiosImage});
      std::string connectors;
      for (const auto& c : a.Connectors)
        connectors += (connectors.empty() ? "" : ", ") + c.Name + " (" + dt::ConnectorText(c) + ")";
      AddItem(ctx, page, kAdapter, lbl::S_VIDEO_CONNECTORS, connectors, "", false,
              {Provenance::Failure(Status::Missing, a.Card.empty() ? a.Location : a.Card,
                                   "the card has no mode-setting connectors")});
    }
  }
  // The screen the desktop runs on.
  const Provenance screenSource =
      d.ScreensFromConnectors ? Provenance::Answered(lbl::S_VIDEO_FROM_CONNECTORS) : d.ScreenSource;
  AddItem(ctx, page, kAdapter, lbl::S_VIDEO_CURR_RES,
          d.HorzRes
              ? FormatText("%s x %s", {std::to_string(d.HorzRes), std::to_string(d.VertRes)}) +
                    lbl::S_COUNT_PIXELS
              : "",
          "", false, {screenSource, false, pages::Quantity::Of(d.HorzRes, QuantityUnit::kPixels)});
  AddItem(ctx, page, kAdapter, lbl::S_VIDEO_CURR_MODE,
          d.ColorDepth ? WithUnit(d.ColorDepth, lbl::S_COUNT_BITS_PER_PIXEL) : "", "", false,
          {d.DepthSource, false, pages::Quantity::Of(d.ColorDepth, QuantityUnit::kBits)});
  Provenance versionSource;
  const std::string version = GraphicsVersionText(d, versionSource);
  AddItem(ctx, page, kAdapter, lbl::S_VIDEO_DIRECTX, version, "", false, {versionSource});
  if (linux)
    AddItem(ctx, page, kAdapter, lbl::S_VIDEO_WINDOW_SYSTEM, d.ScreenServer, "", true,
            {d.ScreenSource});
}

void AddScreenRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  const bool linux = text::PlatformWordingActive() && !d.HasCaps;
  // A Windows snapshot shows the device's values as GDI gave them, zeros included; one that
  // recorded none shows no made-up zeros.
  auto gdi = [&](const std::string& text) { return d.HasCaps ? text : std::string(); };
  const Provenance noGdi = Provenance::Failure(Status::NotSupported, "GDI", lbl::S_VIDEO_NOT_GDI);
  if (!linux)
    AddItem(ctx, page, kMonitor, lbl::S_VIDEO_DRIVER, gdi(std::to_string(d.DeviceDriverVersion)),
            "", false, {d.CapsSource});
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_TECHNOLOGY, d.Technology, "", false,
          {linux ? d.ScreenSource : d.CapsSource});
  // A virtual X server's modes carry no timing, so no refresh rate.
  const Provenance refreshSource =
      !linux ? d.CapsSource
      : d.ScreenSource.ok() && d.VerticalRefreshRate == 0
          ? Provenance::Failure(Status::Missing, d.ScreenSource.source,
                                "the screen's mode gives no refresh rate")
          : d.ScreenSource;
  const auto number = [&](auto v, const std::string& unit) {
    if (!linux) return gdi(std::to_string(v) + unit);
    return v ? std::to_string(v) + unit : std::string();
  };
  const Provenance screen = linux ? d.ScreenSource : d.CapsSource;
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_REFRESH, number(d.VerticalRefreshRate, lbl::S_COUNT_HZ),
          "", false,
          {refreshSource, false, pages::Quantity::Of(d.VerticalRefreshRate, QuantityUnit::kHertz)});
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_FONT, number(d.FontResolution, lbl::S_COUNT_DPI), "",
          false, {screen});
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_PIXEL,
          linux ? std::string()
                : gdi(std::to_string(d.PixelWidth) + "/" + std::to_string(d.PixelHeight) + "/" +
                      std::to_string(d.PixelDiagonal)),
          "", false, {linux ? noGdi : d.CapsSource});
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_HORZ, number(d.HorzSize, ""), "", false,
          {screen, false, pages::Quantity::Of(d.HorzSize, QuantityUnit::kMillimeters)});
  AddItem(ctx, page, kMonitor, lbl::S_VIDEO_VERT, number(d.VertSize, ""), "", false,
          {screen, false, pages::Quantity::Of(d.VertSize, QuantityUnit::kMillimeters)});
  // With several screens, one row each.
  if (d.Screens.size() > 1)
    for (const auto& s : d.Screens)
      AddItem(ctx, page, kMonitor, lbl::S_VIDEO_SCREEN, dt::ScreenText(s), "", false,
              {d.ScreenSource});
}

void AddMonitorRows(const FillContext& ctx, Page& page, const TMonitorRecord& r) {
  const auto& e = r.Block;
  const RowMeta meta{r.BlockSource};
  const std::string title = !r.Model.empty() ? r.Model : r.DeviceDescription;
  AddItem(ctx, page, kMonitor, lbl::S_MON_MONITOR, r.HasBlock || r.Model.empty() ? title : title,
          "", false, {r.BlockSource, false, {}, "monitor"});
  if (!r.Connector.empty()) {
    collectors::display::Connector c{r.Connector, r.Status, r.Enabled, r.Dpms, {}, r.HasBlock};
    AddItem(ctx, page, kMonitor, lbl::S_MON_CONNECTOR,
            r.Card + " " + r.Connector + " (" + dt::ConnectorText(c) + ")", "", false, meta);
  }
  if (!r.HasBlock) {
    AddItem(ctx, page, kMonitor, lbl::S_MON_BLOCK, "", "", false, meta);
    return;
  }
  AddItem(ctx, page, kMonitor, lbl::S_MON_BLOCK, dt::BlockText(e), "", false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_MANUFACTURER, r.Manufacturer, "", false,
          {r.ManufacturerSource});
  AddItem(ctx, page, kMonitor, lbl::S_MON_ID, dt::IdText(e), "", false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_SERIAL,
          e.serialNumber ? std::to_string(e.serialNumber) : "", "", false,
          {Provenance::Failure(Status::Missing, r.BlockSource.source, "the block gives no number"),
           true});
  AddItem(ctx, page, kMonitor, lbl::S_MON_SERIAL_TEXT, e.serialText, "", false,
          {r.BlockSource, true});
  AddItem(ctx, page, kMonitor, lbl::S_MON_TEXT, e.dataString, "", true, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_MADE, dt::MadeText(e), "", false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_EDID_VERSION, e.length >= 20 ? r.EDID_Version : "", "",
          false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_INPUT, dt::InputText(e), "", false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_SIZE, dt::SizeText(e), "", false, meta);
  if (!e.truncated()) {
    char gamma[16];
    std::snprintf(gamma, sizeof gamma, "%.2f", e.gamma.value_or(0));
    AddItem(ctx, page, kMonitor, lbl::S_MON_GAMMA,
            e.gamma ? std::string(gamma) : std::string(lbl::S_MON_GAMMA_EXT), "", true, meta);
  }
  AddItem(ctx, page, kMonitor, lbl::S_MON_PREFERRED,
          e.preferred ? dt::TimingText(*e.preferred) : "", "", false, meta);
  AddItem(ctx, page, kMonitor, lbl::S_MON_EXTENSIONS, dt::ExtensionsText(e), "", true, meta);
}

}  // namespace

void FillDisplayPage(const FillContext& ctx, Page& page) {
  if (page.Sections().size() < display_section::kCount) return;
  const auto display = ctx.info.Find<TVexa_Display>();
  const auto monitors = ctx.info.Find<collectors::TVexa_Monitor>();
  if (display) {
    AddAdapterRows(ctx, page, *display);
    AddScreenRows(ctx, page, *display);
  }
  if (monitors) {
    for (const auto& r : monitors->Records()) AddMonitorRows(ctx, page, r);
    if (monitors->Records().empty() && display)
      AddItem(ctx, page, kMonitor, lbl::S_MON_MONITOR, "", "", false, {monitors->Source});
  }
}

}  // namespace tavrin::pages
