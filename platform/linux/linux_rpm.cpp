#include "platform/linux/linux_rpm.h"

#include <dlfcn.h>

#include <cstdint>
#include <system_error>

namespace tavrin::platform {
namespace {

// The few librpm entry points used, with the C signatures of its public headers. Handles are
// opaque pointers; tag numbers are those of the RPM package format (rpmtag.h of the format
// documentation): NAME 1000, VERSION 1001, RELEASE 1002, INSTALLTIME 1008, SIZE 1009,
// VENDOR 1011, PACKAGER 1015, ARCH 1022, LONGSIZE 5009.
using ReadConfigFiles = int (*)(const char*, const char*);
using TsCreate = void* (*)();
using TsFree = void* (*)(void*);
using TsSetRootDir = int (*)(void*, const char*);
using TsInitIterator = void* (*)(void*, int, const void*, size_t);
using DbNextIterator = void* (*)(void*);
using DbFreeIterator = void* (*)(void*);
using HeaderGetString = const char* (*)(void*, int);
using HeaderGetNumber = uint64_t (*)(void*, int);
using HeaderIsEntry = int (*)(void*, int);

enum Tag : int {
  kName = 1000,
  kVersion = 1001,
  kRelease = 1002,
  kInstallTime = 1008,
  kSize = 1009,
  kVendor = 1011,
  kPackager = 1015,
  kArch = 1022,
  kLongSize = 5009,
};
constexpr int kPackagesIndex = 0;  // RPMDBI_PACKAGES: every header of the database

struct Library {
  void* handle = nullptr;
  Library() {
    for (const char* name : {"librpm.so.10", "librpm.so.9", "librpm.so.8", "librpm.so"}) {
      handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
      if (handle) break;
    }
  }
  // RTLD_NODELETE keeps librpm mapped after the close: it registers exit handlers of its own.
  ~Library() {
    if (handle) ::dlclose(handle);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  template <class F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(::dlsym(handle, name));
  }
};

bool HasDatabase(const std::filesystem::path& root) {
  std::error_code ec;
  for (const char* dir : {"usr/lib/sysimage/rpm", "var/lib/rpm"})
    for (const char* file : {"rpmdb.sqlite", "Packages", "Packages.db"})
      if (std::filesystem::exists(root / dir / file, ec)) return true;
  return false;
}

}  // namespace

std::optional<RpmPackage> RpmPackageFromHeader(const RpmHeaderAccess& header) {
  auto text = [&](int tag) {
    const char* s = header.text(tag);
    return std::string(s ? s : "");
  };
  RpmPackage p;
  p.name = text(kName);
  if (p.name.empty()) return std::nullopt;
  p.version = text(kVersion);
  p.release = text(kRelease);
  p.arch = text(kArch);
  p.vendor = text(kVendor);
  p.packager = text(kPackager);
  // The 32-bit size overflows for packages of 4 GiB and more; newer databases carry both.
  p.sizeBytes = header.number(kLongSize);
  if (!p.sizeBytes) p.sizeBytes = header.number(kSize);
  if (auto time = header.number(kInstallTime)) p.installTime = static_cast<int64_t>(*time);
  return p;
}

Answer<std::vector<RpmPackage>> ReadRpmDatabase(const std::filesystem::path& root) {
  const std::string source = "librpm";
  if (!HasDatabase(root))
    return Answer<std::vector<RpmPackage>>::Fail(Status::Missing, "RPM database",
                                                 "this system keeps no RPM database");
  Library lib;
  if (!lib.handle)
    return Answer<std::vector<RpmPackage>>::Fail(Status::NotSupported, source,
                                                 "librpm could not be loaded");
  const auto readConfig = lib.Get<ReadConfigFiles>("rpmReadConfigFiles");
  const auto tsCreate = lib.Get<TsCreate>("rpmtsCreate");
  const auto tsFree = lib.Get<TsFree>("rpmtsFree");
  const auto tsSetRoot = lib.Get<TsSetRootDir>("rpmtsSetRootDir");
  const auto initIterator = lib.Get<TsInitIterator>("rpmtsInitIterator");
  const auto next = lib.Get<DbNextIterator>("rpmdbNextIterator");
  const auto freeIterator = lib.Get<DbFreeIterator>("rpmdbFreeIterator");
  const auto getString = lib.Get<HeaderGetString>("headerGetString");
  const auto getNumber = lib.Get<HeaderGetNumber>("headerGetNumber");
  const auto isEntry = lib.Get<HeaderIsEntry>("headerIsEntry");
  if (!readConfig || !tsCreate || !tsFree || !initIterator || !next || !freeIterator ||
      !getString || !getNumber || !isEntry)
    return Answer<std::vector<RpmPackage>>::Fail(Status::NotSupported, source,
                                                 "librpm lacks a function this program uses");
  if (readConfig(nullptr, nullptr) != 0)
    return Answer<std::vector<RpmPackage>>::Fail(Status::Failed, source,
                                                 "librpm could not read its configuration");
  void* ts = tsCreate();
  if (!ts) return Answer<std::vector<RpmPackage>>::Fail(Status::Failed, source, "rpmtsCreate");
  if (tsSetRoot && root != "/") tsSetRoot(ts, root.c_str());
  std::vector<RpmPackage> packages;
  void* it = initIterator(ts, kPackagesIndex, nullptr, 0);
  if (!it) {
    tsFree(ts);
    return Answer<std::vector<RpmPackage>>::Fail(Status::PermissionDenied, source,
                                                 "the RPM database could not be opened");
  }
  while (void* h = next(it)) {
    const RpmHeaderAccess header{[&](int tag) { return getString(h, tag); },
                                 [&](int tag) -> std::optional<uint64_t> {
                                   if (!isEntry(h, tag)) return std::nullopt;
                                   return getNumber(h, tag);
                                 }};
    if (auto p = RpmPackageFromHeader(header)) packages.push_back(std::move(*p));
  }
  freeIterator(it);
  tsFree(ts);
  return Answer<std::vector<RpmPackage>>::Of(std::move(packages), source);
}

}  // namespace tavrin::platform
