// The video decode and encode profiles of VA-API on the first render node. Our own declarations
// of the few libva calls used, from the VA-API documentation (va.h, va_drm.h); bound at run time.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/linux/graphics_apis.h"
#include "platform/linux/shared_library.h"

namespace tavrin::platform {
namespace {

using VADisplay = void*;
using VAStatus = int;
using VAProfile = int;
using VAEntrypoint = int;
constexpr VAEntrypoint kDecode = 1;                        // VAEntrypointVLD
constexpr VAEntrypoint kEncodeFirst = 6, kEncodeLast = 8;  // EncSlice, EncPicture, EncSliceLP

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string FirstRenderNode() {
  std::error_code ec;
  std::vector<std::string> nodes;
  for (const auto& e : std::filesystem::directory_iterator("/dev/dri", ec))
    if (e.path().filename().string().rfind("renderD", 0) == 0) nodes.push_back(e.path().string());
  std::sort(nodes.begin(), nodes.end());
  return nodes.empty() ? std::string() : nodes.front();
}

}  // namespace

void ProbeVideoAcceleration(GraphicsApis& apis) {
  using Result = Answer<std::vector<std::string>>;
  const std::string node = FirstRenderNode();
  if (node.empty()) {
    apis.videoProfiles = Result::Fail(Status::Missing, "/dev/dri", "no render node");
    return;
  }
  SharedLibrary va({"libva.so.2"}), vaDrm({"libva-drm.so.2"});
  VADisplay (*getDisplay)(int) = nullptr;
  VAStatus (*initialize)(VADisplay, int*, int*) = nullptr;
  VAStatus (*terminate)(VADisplay) = nullptr;
  int (*maxProfiles)(VADisplay) = nullptr;
  VAStatus (*queryProfiles)(VADisplay, VAProfile*, int*) = nullptr;
  int (*maxEntrypoints)(VADisplay) = nullptr;
  VAStatus (*queryEntrypoints)(VADisplay, VAProfile, VAEntrypoint*, int*) = nullptr;
  const char* (*profileName)(VAProfile) = nullptr;
  if (!vaDrm.Bind(getDisplay, "vaGetDisplayDRM") || !va.Bind(initialize, "vaInitialize") ||
      !va.Bind(terminate, "vaTerminate") || !va.Bind(maxProfiles, "vaMaxNumProfiles") ||
      !va.Bind(queryProfiles, "vaQueryConfigProfiles") ||
      !va.Bind(maxEntrypoints, "vaMaxNumEntrypoints") ||
      !va.Bind(queryEntrypoints, "vaQueryConfigEntrypoints") ||
      !va.Bind(profileName, "vaProfileStr")) {
    const std::string why = !va.loaded()      ? va.error()
                            : !vaDrm.loaded() ? vaDrm.error()
                                              : "a libva function is missing";
    apis.videoProfiles = Result::Fail(Status::Missing, "libva.so.2", why);
    return;
  }
  FileDescriptor fd(open(node.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.get() < 0) {
    apis.videoProfiles = Result::Fail(StatusFromErrno(errno), node, "cannot open the render node");
    return;
  }
  VADisplay display = getDisplay(fd.get());
  int major = 0, minor = 0;
  if (!display || initialize(display, &major, &minor) != 0) {
    apis.videoProfiles = Result::Fail(Status::Failed, node, "no VA-API driver for this card");
    return;
  }
  std::vector<VAProfile> profiles(static_cast<std::size_t>(std::max(maxProfiles(display), 0)));
  int count = 0;
  std::vector<std::string> lines;
  if (!profiles.empty() && queryProfiles(display, profiles.data(), &count) == 0) {
    std::vector<VAEntrypoint> points(
        static_cast<std::size_t>(std::max(maxEntrypoints(display), 1)));
    for (int i = 0; i < count; ++i) {
      int n = 0;
      if (queryEntrypoints(display, profiles[i], points.data(), &n) != 0) continue;
      bool decode = false, encode = false;
      for (int k = 0; k < n; ++k) {
        decode = decode || points[k] == kDecode;
        encode = encode || (points[k] >= kEncodeFirst && points[k] <= kEncodeLast);
      }
      if (!decode && !encode) continue;
      std::string name = profileName(profiles[i]) ? profileName(profiles[i]) : "?";
      if (name.rfind("VAProfile", 0) == 0) name.erase(0, 9);
      lines.push_back(name + ": " +
                      (decode && encode ? "decode, encode"
                       : decode         ? "decode"
                                        : "encode"));
    }
  }
  terminate(display);
  apis.videoProfiles = Result::Of(std::move(lines), "VA-API " + std::to_string(major) + "." +
                                                        std::to_string(minor) + " on " + node);
}

}  // namespace tavrin::platform
