// The advanced display page: the display modes, then the screen device's capabilities. A
// Windows snapshot shows the GDI capability sets; on Linux the same sections hold what a
// Linux user means by graphics capabilities: OpenGL, Vulkan, video acceleration, the
// connectors and the monitors' identification details.
#include <set>

#include "collectors/display/display_caps.h"
#include "collectors/display/vsi_display.h"
#include "collectors/display/vsi_monitor.h"
#include "collectors/system_info.h"
#include "pages/display_text.h"
#include "pages/fillers.h"
#include "pages/page_layouts.h"
#include "text/label_wording.h"
#include "text/labels.h"

namespace tavrin::pages {
namespace {

using collectors::TVexa_Display;
using collectors::display::CapKind;
using platform::Provenance;
namespace dt = display_text;
using namespace displayadv_section;

void AddModeRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  for (const auto& mode : d.Modes)
    AddItemEx(ctx, page, kResolutions, 0, mode, lbl::S_SUPPORTED, "", false, 0, {d.ModesSource});
  if (d.Modes.empty()) NoteEmptySection(page, kResolutions, d.ModesSource.Explain());
}

void AddCapabilityRows(const FillContext& ctx, Page& page, int section, CapKind kind,
                       collectors::display::CapSet set, const Provenance& source) {
  std::vector<std::string> lines;
  collectors::display::CapabilityTexts(kind, set, lines);
  std::set<std::string> seen;
  for (const auto& line : lines) {
    const auto eq = line.find('=');
    const std::string label = line.substr(0, eq);
    if (!seen.insert(label).second) continue;
    const bool on = line.substr(eq + 1) == "1";
    AddItemEx(ctx, page, section, on ? 0 : 1, label, on ? lbl::S_SUPPORTED : lbl::S_NOTSUPPORTED,
              "", false, 0, {source});
  }
}

void AddGdiRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  if (!d.HasCaps) {
    for (int s : {kText, kPolygon, kRaster, kLine, kCurve})
      NoteEmptySection(page, s, lbl::S_VIDEO_NO_CAPS);
    return;
  }
  AddCapabilityRows(ctx, page, kText, CapKind::kText, d.Caps.text, d.CapsSource);
  AddCapabilityRows(ctx, page, kPolygon, CapKind::kPolygon, d.Caps.polygon, d.CapsSource);
  AddCapabilityRows(ctx, page, kRaster, CapKind::kRaster, d.Caps.raster, d.CapsSource);
  AddCapabilityRows(ctx, page, kLine, CapKind::kLine, d.Caps.line, d.CapsSource);
  AddCapabilityRows(ctx, page, kCurve, CapKind::kCurve, d.Caps.curve, d.CapsSource);
}

void AddGraphicsInterfaceRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  const auto& a = d.Apis;
  AddItem(ctx, page, kText, lbl::S_GL_VERSION, a.openGlVersion.value_or(""), "", false,
          {a.openGlVersion.source});
  AddItem(ctx, page, kText, lbl::S_GL_RENDERER, a.openGlRenderer.value_or(""), "", false,
          {a.openGlRenderer.source});
  AddItem(ctx, page, kText, lbl::S_GL_VENDOR, a.openGlVendor.value_or(""), "", false,
          {a.openGlVendor.source});
  AddItem(ctx, page, kPolygon, lbl::S_VK_VERSION, a.vulkanVersion.value_or(""), "", false,
          {a.vulkanVersion.source});
  if (a.vulkanDevices) {
    for (const auto& dev : *a.vulkanDevices)
      AddItem(ctx, page, kPolygon, lbl::S_VK_DEVICE, dev, "", false, {a.vulkanDevices.source});
  } else {
    AddItem(ctx, page, kPolygon, lbl::S_VK_DEVICE, "", "", false, {a.vulkanDevices.source});
  }
  if (a.videoProfiles && !a.videoProfiles->empty()) {
    for (const auto& line : *a.videoProfiles) {
      const auto colon = line.find(": ");
      const std::string what = colon == std::string::npos ? "" : line.substr(colon + 2);
      const std::string value = what == "decode, encode" ? lbl::S_VA_DECODE_ENCODE
                                : what == "decode"       ? lbl::S_VA_DECODE
                                : what == "encode"       ? lbl::S_VA_ENCODE
                                                         : what;
      AddItem(ctx, page, kRaster, line.substr(0, colon), value, "", false,
              {a.videoProfiles.source});
    }
  } else {
    NoteEmptySection(
        page, kRaster,
        a.videoProfiles ? a.videoProfiles.source.source : a.videoProfiles.source.Explain());
  }
}

void AddConnectorRows(const FillContext& ctx, Page& page, const TVexa_Display& d) {
  for (const auto& adapter : d.Adapters)
    for (const auto& c : adapter.Connectors)
      AddItem(ctx, page, kLine, adapter.Card + " " + c.Name, dt::ConnectorText(c), "", false,
              {adapter.Source});
  if (page.Sections()[kLine].Items.empty())
    NoteEmptySection(
        page, kLine,
        d.AdapterSource.ok() ? std::string(lbl::S_MON_NONE) : d.AdapterSource.Explain());
}

void AddMonitorDetailRows(const FillContext& ctx, Page& page,
                          const collectors::TVexa_Monitor& monitors) {
  for (const auto& r : monitors.Records()) {
    if (!r.HasBlock || r.Block.truncated()) continue;
    const auto& e = r.Block;
    const RowMeta meta{r.BlockSource};
    const std::string title = !r.Model.empty() ? r.Model : r.DeviceDescription;
    AddItem(ctx, page, kCurve, lbl::S_MON_MONITOR,
            r.Connector.empty() ? title : title + " (" + r.Connector + ")", "", false, meta);
    AddItem(ctx, page, kCurve, lbl::S_MON_POWER_STATES, dt::PowerStatesText(e), "", false, meta);
    AddItem(ctx, page, kCurve, lbl::S_MON_CHROMA, dt::ChromaticityText(e.chromaticity), "", false,
            meta);
    if (e.rangeLimits)
      AddItem(ctx, page, kCurve, lbl::S_MON_RANGE, dt::RangeText(*e.rangeLimits), "", false, meta);
    AddItem(ctx, page, kCurve, lbl::S_MON_DETAILED, dt::TimingsText(e.detailed), "", false, meta);
    AddItem(ctx, page, kCurve, lbl::S_MON_STANDARD, dt::TimingsText(e.standard), "", false, meta);
    AddItem(ctx, page, kCurve, lbl::S_MON_ESTABLISHED, dt::TimingsText(e.established), "", false,
            meta);
    for (const auto& x : e.extensions) {
      if (x.cta) {
        AddItem(ctx, page, kCurve, lbl::S_MON_CTA_VIDEO, dt::TimingsText(x.cta->videoCodes), "",
                false, meta);
        AddItem(ctx, page, kCurve, lbl::S_MON_DETAILED, dt::TimingsText(x.cta->detailed), "", false,
                meta);
        AddItem(ctx, page, kCurve, lbl::S_MON_CTA_AUDIO, dt::AudioText(x.cta->audio), "", false,
                meta);
        if (x.cta->speakerAllocation)
          AddItem(ctx, page, kCurve, lbl::S_MON_CTA_SPEAKERS,
                  dt::SpeakersText(*x.cta->speakerAllocation), "", false, meta);
      }
      if (x.displayId)
        AddItem(ctx, page, kCurve, lbl::S_MON_DISPLAYID, dt::TimingsText(x.displayId->detailed), "",
                false, meta);
    }
  }
  if (page.Sections()[kCurve].Items.empty())
    NoteEmptySection(
        page, kCurve,
        monitors.Source.ok() ? std::string(lbl::S_MON_NONE) : monitors.Source.Explain());
}

}  // namespace

void FillDisplayAdvancedPage(const FillContext& ctx, Page& page) {
  if (page.Sections().size() < kCount) return;
  if (const PageLayout* layout = FindPageLayout("displayadvinfo"))
    for (std::size_t i = 0; i < layout->sections.size() && i < page.Sections().size(); ++i)
      page.Sections()[i].Caption =
          std::string(text::WordedSectionCaption("displayadvinfo", layout->sections[i].caption));
  const auto display = ctx.info.Find<TVexa_Display>();
  if (!display) return;
  AddModeRows(ctx, page, *display);
  if (!text::PlatformWordingActive() || display->HasCaps) {
    AddGdiRows(ctx, page, *display);
    return;
  }
  AddGraphicsInterfaceRows(ctx, page, *display);
  AddConnectorRows(ctx, page, *display);
  if (const auto monitors = ctx.info.Find<collectors::TVexa_Monitor>())
    AddMonitorDetailRows(ctx, page, *monitors);
}

}  // namespace tavrin::pages
