// The top-level windows of the X11 session the program shows on: the children of the root
// window. libX11 is bound at run time; without it, without a display (or on a Wayland session
// without X) the list is empty with the reason.
#include <dlfcn.h>

#include <cstdlib>

#include "platform/linux/linux_processes.h"

namespace tavrin::platform {
namespace {

constexpr const char* kLibrary = "libX11.so.6";

struct Xlib {
  void* (*openDisplay)(const char*) = nullptr;
  int (*closeDisplay)(void*) = nullptr;
  unsigned long (*defaultRoot)(void*) = nullptr;
  int (*queryTree)(void*, unsigned long, unsigned long*, unsigned long*, unsigned long**,
                   unsigned int*) = nullptr;
  int (*fetchName)(void*, unsigned long, char**) = nullptr;
  int (*free)(void*) = nullptr;
};

template <class F>
bool Bind(void* library, const char* name, F& target) {
  target = reinterpret_cast<F>(dlsym(library, name));
  return target != nullptr;
}

}  // namespace

Answer<std::vector<WindowRecord>> ReadX11TopLevelWindows() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return Answer<std::vector<WindowRecord>>::Fail(Status::NotSupported, "X11",
                                                   "no X11 display (DISPLAY is not set)");
  // Loaded once and kept: unloading Xlib while Qt may use it is not safe.
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr)
    return Answer<std::vector<WindowRecord>>::Fail(Status::Missing, "X11",
                                                   std::string(kLibrary) + " not loadable");
  Xlib x;
  if (!(Bind(library, "XOpenDisplay", x.openDisplay) &&
        Bind(library, "XCloseDisplay", x.closeDisplay) &&
        Bind(library, "XDefaultRootWindow", x.defaultRoot) &&
        Bind(library, "XQueryTree", x.queryTree) && Bind(library, "XFetchName", x.fetchName) &&
        Bind(library, "XFree", x.free)))
    return Answer<std::vector<WindowRecord>>::Fail(Status::NotSupported, "X11",
                                                   std::string(kLibrary) + " lacks the functions");
  void* dpy = x.openDisplay(display);
  if (dpy == nullptr)
    return Answer<std::vector<WindowRecord>>::Fail(Status::Failed, "X11",
                                                   std::string("cannot open display ") + display);
  std::vector<WindowRecord> windows;
  unsigned long root = 0, parent = 0;
  unsigned long* children = nullptr;
  unsigned int count = 0;
  if (x.queryTree(dpy, x.defaultRoot(dpy), &root, &parent, &children, &count) != 0) {
    windows.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
      WindowRecord w;
      w.id = children[i];
      char* name = nullptr;
      if (x.fetchName(dpy, children[i], &name) != 0 && name != nullptr) {
        w.title = name;
        x.free(name);
      }
      windows.push_back(std::move(w));
    }
    if (children) x.free(children);
  }
  x.closeDisplay(dpy);
  return Answer<std::vector<WindowRecord>>::Of(std::move(windows),
                                               std::string("X11 display ") + display);
}

}  // namespace tavrin::platform
