#include "platform/linux/udev_library.h"

#include <dlfcn.h>

namespace tavrin::platform {
namespace {

struct LibraryCloser {
  void operator()(void* handle) const { dlclose(handle); }
};

template <class F>
bool Bind(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

}  // namespace

// The functions used, with the signatures the libudev API documents; its structures stay
// opaque pointers here.
struct UdevLibrary::Functions {
  std::unique_ptr<void, LibraryCloser> library;
  void* (*udevNew)() = nullptr;
  void* (*udevUnref)(void*) = nullptr;
  void* (*deviceFromSyspath)(void*, const char*) = nullptr;
  void* (*deviceUnref)(void*) = nullptr;
  const char* (*propertyValue)(void*, const char*) = nullptr;
  void* context = nullptr;

  // The context goes before the library that holds its code is closed.
  ~Functions() {
    if (context != nullptr) udevUnref(context);
  }
};

std::unique_ptr<UdevLibrary> UdevLibrary::Open(const char* library, Provenance& outcome) {
  auto f = std::make_unique<Functions>();
  // RTLD_NODELETE: the code stays mapped after the last close, so the next walk binds it again
  // without loading it.
  f->library.reset(dlopen(library, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
  if (!f->library) {
    const char* error = dlerror();
    outcome =
        Provenance::Failure(Status::Missing, library,
                            std::string("not loadable") + (error ? ": " + std::string(error) : ""));
    return nullptr;
  }
  void* h = f->library.get();
  if (!Bind(h, "udev_new", f->udevNew) || !Bind(h, "udev_unref", f->udevUnref) ||
      !Bind(h, "udev_device_new_from_syspath", f->deviceFromSyspath) ||
      !Bind(h, "udev_device_unref", f->deviceUnref) ||
      !Bind(h, "udev_device_get_property_value", f->propertyValue)) {
    outcome = Provenance::Failure(Status::NotSupported, library, "lacks the device functions");
    return nullptr;
  }
  f->context = f->udevNew();
  if (f->context == nullptr) {
    outcome = Provenance::Failure(Status::Failed, library, "made no udev context");
    return nullptr;
  }
  outcome = Provenance::Answered(library);
  return std::unique_ptr<UdevLibrary>(new UdevLibrary(std::move(f)));
}

UdevLibrary::UdevLibrary(std::unique_ptr<Functions> functions) : functions_(std::move(functions)) {}

UdevLibrary::~UdevLibrary() = default;

std::vector<std::string> UdevLibrary::Properties(const std::string& syspath,
                                                 const std::vector<const char*>& keys) const {
  std::vector<std::string> values(keys.size());
  const Functions& f = *functions_;
  auto unref = [&f](void* device) { f.deviceUnref(device); };
  std::unique_ptr<void, decltype(unref)> device(f.deviceFromSyspath(f.context, syspath.c_str()),
                                                unref);
  if (!device) return values;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (const char* value = f.propertyValue(device.get(), keys[i])) values[i] = value;
  return values;
}

}  // namespace tavrin::platform
