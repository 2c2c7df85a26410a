// Our own declarations of the few Xlib and RandR calls used, from the X Window System protocol
// and library documentation (Xlib C Language Interface; the X Resize, Rotate and Reflect
// extension, version 1.3). Nothing is linked: the libraries are bound at run time.
#include "platform/linux/x11_screens.h"

#include "platform/linux/shared_library.h"

namespace tavrin::platform {
namespace {

using XDisplay = struct _XDisplay;
using XID = unsigned long;
using Window = XID;
using RROutput = XID;
using RRCrtc = XID;
using RRMode = XID;
using XTime = unsigned long;

struct XErrorEvent;

struct XRRModeInfo {
  RRMode id;
  unsigned int width, height;
  unsigned long dotClock;
  unsigned int hSyncStart, hSyncEnd, hTotal, hSkew;
  unsigned int vSyncStart, vSyncEnd, vTotal;
  char* name;
  unsigned int nameLength;
  unsigned long modeFlags;
};

struct XRRScreenResources {
  XTime timestamp, configTimestamp;
  int ncrtc;
  RRCrtc* crtcs;
  int noutput;
  RROutput* outputs;
  int nmode;
  XRRModeInfo* modes;
};

struct XRROutputInfo {
  XTime timestamp;
  RRCrtc crtc;
  char* name;
  int nameLen;
  unsigned long mm_width, mm_height;
  unsigned short connection, subpixel_order;
  int ncrtc;
  RRCrtc* crtcs;
  int nclone;
  RROutput* clones;
  int nmode, npreferred;
  RRMode* modes;
};

struct XRRCrtcInfo {
  XTime timestamp;
  int x, y;
  unsigned int width, height;
  RRMode mode;
  unsigned short rotation;
  int noutput;
  RROutput* outputs;
  unsigned short rotations;
  int npossible;
  RROutput* possible;
};

constexpr unsigned long kInterlace = 0x10, kDoubleScan = 0x20;  // RandR mode flags
constexpr unsigned short kConnected = 0;                        // RR_Connected

struct Xlib {
  XDisplay* (*openDisplay)(const char*);
  int (*closeDisplay)(XDisplay*);
  int (*defaultScreen)(XDisplay*);
  int (*screenCount)(XDisplay*);
  int (*displayWidth)(XDisplay*, int);
  int (*displayHeight)(XDisplay*, int);
  int (*displayWidthMM)(XDisplay*, int);
  int (*displayHeightMM)(XDisplay*, int);
  int (*defaultDepth)(XDisplay*, int);
  Window (*rootWindow)(XDisplay*, int);
  char* (*serverVendor)(XDisplay*);
  int (*vendorRelease)(XDisplay*);
  using ErrorHandler = int (*)(XDisplay*, XErrorEvent*);
  ErrorHandler (*setErrorHandler)(ErrorHandler);
};

struct Xrandr {
  int (*queryExtension)(XDisplay*, int*, int*);
  int (*queryVersion)(XDisplay*, int*, int*);
  XRRScreenResources* (*getResources)(XDisplay*, Window);
  void (*freeResources)(XRRScreenResources*);
  XRROutputInfo* (*getOutputInfo)(XDisplay*, XRRScreenResources*, RROutput);
  void (*freeOutputInfo)(XRROutputInfo*);
  XRRCrtcInfo* (*getCrtcInfo)(XDisplay*, XRRScreenResources*, RRCrtc);
  void (*freeCrtcInfo)(XRRCrtcInfo*);
  RROutput (*getOutputPrimary)(XDisplay*, Window);
};

// A failed request must not end the program (Xlib's default handler exits).
int IgnoreError(XDisplay*, XErrorEvent*) {
  return 0;
}

class Connection {
 public:
  Connection(const Xlib& x, XDisplay* d) : x_(x), d_(d) {}
  ~Connection() {
    if (d_) x_.closeDisplay(d_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  XDisplay* get() const { return d_; }

 private:
  const Xlib& x_;
  XDisplay* d_;
};

// Puts back the handler that was there before, so the rest of the program keeps its own.
class IgnoredErrors {
 public:
  explicit IgnoredErrors(const Xlib& x) : x_(x), previous_(x.setErrorHandler(IgnoreError)) {}
  ~IgnoredErrors() { x_.setErrorHandler(previous_); }
  IgnoredErrors(const IgnoredErrors&) = delete;
  IgnoredErrors& operator=(const IgnoredErrors&) = delete;

 private:
  const Xlib& x_;
  Xlib::ErrorHandler previous_;
};

double RefreshOf(const XRRModeInfo& m) {
  double lines = m.vTotal;
  if (m.modeFlags & kDoubleScan) lines *= 2;
  if (m.modeFlags & kInterlace) lines /= 2;
  return m.hTotal && lines > 0 ? m.dotClock / (m.hTotal * lines) : 0;
}

// One screen per output that drives a CRTC.
std::vector<SessionScreen> OutputScreens(const Xrandr& r, XDisplay* d, Window root, int depth) {
  std::vector<SessionScreen> screens;
  XRRScreenResources* res = r.getResources(d, root);
  if (!res) return screens;
  const RROutput primary = r.getOutputPrimary ? r.getOutputPrimary(d, root) : 0;
  for (int i = 0; i < res->noutput; ++i) {
    XRROutputInfo* out = r.getOutputInfo(d, res, res->outputs[i]);
    if (!out) continue;
    if (out->connection == kConnected && out->crtc) {
      if (XRRCrtcInfo* crtc = r.getCrtcInfo(d, res, out->crtc)) {
        SessionScreen s;
        s.name.assign(out->name, static_cast<std::size_t>(std::max(out->nameLen, 0)));
        s.x = crtc->x;
        s.y = crtc->y;
        s.width = static_cast<int32_t>(crtc->width);
        s.height = static_cast<int32_t>(crtc->height);
        s.depth = depth;
        s.widthMm = static_cast<int32_t>(out->mm_width);
        s.heightMm = static_cast<int32_t>(out->mm_height);
        s.primary = res->outputs[i] == primary;
        for (int m = 0; m < res->nmode; ++m)
          if (res->modes[m].id == crtc->mode) s.refreshHz = RefreshOf(res->modes[m]);
        screens.push_back(s);
        r.freeCrtcInfo(crtc);
      }
    }
    r.freeOutputInfo(out);
  }
  r.freeResources(res);
  return screens;
}

}  // namespace

Answer<SessionScreens> ProbeX11Screens(const std::string& display) {
  const std::string source = "X11 display " + display;
  if (display.empty())
    return Answer<SessionScreens>::Fail(Status::Missing, "X11 display",
                                        "no X11 session (DISPLAY is not set)");
  SharedLibrary lib({"libX11.so.6", "libX11.so"});
  Xlib x{};
  if (!lib.loaded() || !lib.Bind(x.openDisplay, "XOpenDisplay") ||
      !lib.Bind(x.closeDisplay, "XCloseDisplay") || !lib.Bind(x.defaultScreen, "XDefaultScreen") ||
      !lib.Bind(x.screenCount, "XScreenCount") || !lib.Bind(x.displayWidth, "XDisplayWidth") ||
      !lib.Bind(x.displayHeight, "XDisplayHeight") ||
      !lib.Bind(x.displayWidthMM, "XDisplayWidthMM") ||
      !lib.Bind(x.displayHeightMM, "XDisplayHeightMM") ||
      !lib.Bind(x.defaultDepth, "XDefaultDepth") || !lib.Bind(x.rootWindow, "XRootWindow") ||
      !lib.Bind(x.serverVendor, "XServerVendor") || !lib.Bind(x.vendorRelease, "XVendorRelease") ||
      !lib.Bind(x.setErrorHandler, "XSetErrorHandler"))
    return Answer<SessionScreens>::Fail(Status::Missing, "libX11.so.6",
                                        lib.loaded() ? "a function is missing" : lib.error());
  Connection conn(x, x.openDisplay(display.c_str()));
  if (!conn.get())
    return Answer<SessionScreens>::Fail(Status::Failed, source,
                                        "the X server did not accept a connection");
  IgnoredErrors ignored(x);
  XDisplay* d = conn.get();

  SessionScreens result;
  const char* vendor = x.serverVendor(d);
  result.server = "X11 " + display + " (" + (vendor ? vendor : "") + " " +
                  std::to_string(x.vendorRelease(d)) + ")";
  const int count = x.screenCount(d);

  SharedLibrary randrLib({"libXrandr.so.2", "libXrandr.so"});
  Xrandr r{};
  const bool randr = randrLib.Bind(r.queryExtension, "XRRQueryExtension") &&
                     randrLib.Bind(r.queryVersion, "XRRQueryVersion") &&
                     randrLib.Bind(r.getResources, "XRRGetScreenResourcesCurrent") &&
                     randrLib.Bind(r.freeResources, "XRRFreeScreenResources") &&
                     randrLib.Bind(r.getOutputInfo, "XRRGetOutputInfo") &&
                     randrLib.Bind(r.freeOutputInfo, "XRRFreeOutputInfo") &&
                     randrLib.Bind(r.getCrtcInfo, "XRRGetCrtcInfo") &&
                     randrLib.Bind(r.freeCrtcInfo, "XRRFreeCrtcInfo");
  if (randr) randrLib.Bind(r.getOutputPrimary, "XRRGetOutputPrimary");
  for (int n = 0; n < count; ++n) {
    const int depth = x.defaultDepth(d, n);
    int event = 0, error = 0, major = 0, minor = 0;
    if (randr && r.queryExtension(d, &event, &error) && r.queryVersion(d, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 2))) {
      auto outputs = OutputScreens(r, d, x.rootWindow(d, n), depth);
      if (!outputs.empty()) {
        // A virtual server's single output has no size of its own; the screen's is the same.
        if (outputs.size() == 1 && outputs[0].widthMm == 0) {
          outputs[0].widthMm = x.displayWidthMM(d, n);
          outputs[0].heightMm = x.displayHeightMM(d, n);
        }
        result.fromOutputs = true;
        result.screens.insert(result.screens.end(), outputs.begin(), outputs.end());
        continue;
      }
    }
    SessionScreen s;
    s.name = "screen " + std::to_string(n);
    s.width = x.displayWidth(d, n);
    s.height = x.displayHeight(d, n);
    s.widthMm = x.displayWidthMM(d, n);
    s.heightMm = x.displayHeightMM(d, n);
    s.depth = depth;
    s.primary = n == x.defaultScreen(d);
    result.screens.push_back(s);
  }
  return Answer<SessionScreens>::Of(std::move(result), source);
}

}  // namespace tavrin::platform
