// A system library bound at run time: opened with dlopen, released with the object. It stays
// mapped (RTLD_NODELETE): graphics drivers register exit handlers that must find their code.
#pragma once

#include <dlfcn.h>

#include <string>

namespace tavrin::platform {

class SharedLibrary {
 public:
  /// Tries each name in turn ("libX11.so.6" ...); check loaded() and error().
  explicit SharedLibrary(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
      if (handle_) return;
      const char* why = dlerror();
      error_ = why ? why : name;
    }
  }
  ~SharedLibrary() {
    if (handle_) dlclose(handle_);
  }
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }

  /// Binds `name` to `f`; false when the library lacks it.
  template <class F>
  bool Bind(F& f, const char* name) const {
    f = handle_ ? reinterpret_cast<F>(dlsym(handle_, name)) : nullptr;
    return f != nullptr;
  }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace tavrin::platform
