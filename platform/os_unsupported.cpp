// The operating-system services of a platform or snapshot that has none: each answer says so.
#include "platform/desktop_proxy.h"
#include "platform/os_environment.h"
#include "platform/os_facts.h"
#include "platform/os_locale.h"

namespace tavrin::platform {
namespace {

template <class T>
Answer<T> No(const char* what, const std::string& why) {
  return Answer<T>::Fail(Status::NotSupported, what, why);
}

class NoOsFacts : public OsFacts {
 public:
  explicit NoOsFacts(std::string why) : why_(std::move(why)) {}
  Answer<std::string> OsRelease() const override { return No<std::string>("os-release", why_); }
  Answer<KernelNames> Kernel() const override { return No<KernelNames>("uname", why_); }
  Answer<std::string> MachineId() const override { return No<std::string>("machine id", why_); }
  Answer<UserAccount> CurrentUser() const override {
    return No<UserAccount>("user database", why_);
  }
  Answer<int64_t> RootBirthTime() const override { return No<int64_t>("root file system", why_); }
  Answer<int64_t> OldestPackageRecord() const override {
    return No<int64_t>("package database", why_);
  }
  Answer<ZoneFacts> TimeZone() const override { return No<ZoneFacts>("time zone", why_); }
  Answer<FolderList> SystemFolders() const override {
    return No<FolderList>("system folders", why_);
  }
  Answer<FolderList> UserFolders() const override { return No<FolderList>("user folders", why_); }
  Answer<std::vector<NamedText>> DefaultApplicationLists() const override {
    return No<std::vector<NamedText>>("default applications", why_);
  }
  Answer<NamedText> DesktopEntry(const std::string&) const override {
    return No<NamedText>("desktop entries", why_);
  }
  Answer<NamedText> KdeProxyConfig() const override { return No<NamedText>("kioslaverc", why_); }

 private:
  std::string why_;
};

class NoEnvironment : public EnvironmentSource {
 public:
  explicit NoEnvironment(std::string why) : why_(std::move(why)) {}
  Answer<std::vector<std::string>> Variables() const override {
    return No<std::vector<std::string>>("process environment", why_);
  }

 private:
  std::string why_;
};

class NoLocales : public LocaleDatabase {
 public:
  explicit NoLocales(std::string why) : why_(std::move(why)) {}
  Answer<LocaleFacts> Describe(std::string_view) const override {
    return No<LocaleFacts>("locale data", why_);
  }

 private:
  std::string why_;
};

class NoDesktopProxy : public DesktopProxySource {
 public:
  explicit NoDesktopProxy(std::string why) : why_(std::move(why)) {}
  Answer<GnomeProxySettings> GnomeProxy() const override {
    return No<GnomeProxySettings>("GNOME settings", why_);
  }

 private:
  std::string why_;
};

}  // namespace

std::shared_ptr<const OsFacts> UnsupportedOsFacts(std::string why) {
  return std::make_shared<NoOsFacts>(std::move(why));
}
std::shared_ptr<const EnvironmentSource> UnsupportedEnvironment(std::string why) {
  return std::make_shared<NoEnvironment>(std::move(why));
}
std::shared_ptr<const LocaleDatabase> UnsupportedLocales(std::string why) {
  return std::make_shared<NoLocales>(std::move(why));
}
std::shared_ptr<const DesktopProxySource> UnsupportedDesktopProxy(std::string why) {
  return std::make_shared<NoDesktopProxy>(std::move(why));
}

}  // namespace tavrin::platform
