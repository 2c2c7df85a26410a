// The desktops' proxy settings: KDE's kioslaverc parsed, GNOME's settings turned into lines,
// the environment winning over both, and the settings library bound at run time failing
// softly when the library or its schema is absent.
#include <gtest/gtest.h>

#include <atomic>

#include "collectors/os/desktop_proxy_text.h"
#include "collectors/os/linux_os_parts.h"
#include "collectors/os/vsi_operating_system.h"
#include "platform/linux/linux_desktop_proxy.h"
#include "platform/linux/linux_os_environment.h"
#include "platform/os_environment.h"
#include "platform/os_locale.h"
#include "tests/collectors/os/os_test_services.h"

namespace tavrin::collectors {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kKdeManual =
    "[General]\nhttpProxy=http://elsewhere 1\n\n"
    "[Proxy Settings]\nProxyType=1\nhttpProxy=http://proxy.example 3128\n"
    "httpsProxy[$e]=http://secure.example:3129\nftpProxy=\nsocksProxy=socks://s.example 1080\n"
    "NoProxyFor=localhost,.lan\nProxy Config Script=http://wpad/proxy.pac\n"
    "[Other]\nProxyType=3\n";

TEST(KdeProxy, EachProxyTypeGivesItsLines) {
  EXPECT_EQ(KdeProxyLines(ParseKioslaverc(kKdeManual)),
            (Lines{"http=http://proxy.example:3128", "https=http://secure.example:3129",
                   "socks=socks://s.example:1080", "bypass=localhost,.lan"}));

  auto withType = [](const char* type) {
    return KdeProxyLines(ParseKioslaverc(std::string("[Proxy Settings]\nProxyType=") + type +
                                         "\nhttpProxy=http://p 8080\n"
                                         "Proxy Config Script=http://wpad/proxy.pac\n"));
  };
  EXPECT_EQ(withType("0"), Lines{});
  EXPECT_EQ(withType("2"), Lines{"pac=http://wpad/proxy.pac"});
  EXPECT_EQ(withType("3"), Lines{"wpad=auto"});
  // The environment's proxies are read from the environment itself.
  EXPECT_EQ(withType("4"), Lines{});
  EXPECT_EQ(ParseKioslaverc("[Proxy Settings]\nProxyType=4\n").type, 4);
}

TEST(KdeProxy, MissingSectionAndGarbageGiveNothing) {
  EXPECT_FALSE(ParseKioslaverc("").type);
  EXPECT_FALSE(ParseKioslaverc("[General]\nProxyType=1\nhttpProxy=http://p 1\n").type);
  for (const char* type : {"abc", "9", "-1", "1x", ""})
    EXPECT_FALSE(ParseKioslaverc(std::string("[Proxy Settings]\nProxyType=") + type + "\n").type)
        << type;
  using namespace std::string_literals;
  const std::string garbage =
      "\xff\xfe[Proxy Settings\n=\n\0\0ProxyType\n[Proxy Settings]\r\n"
      "no equals sign\r\nProxyType = 1 \r\nhttpProxy=\r\n"s;
  const KdeProxySettings parsed = ParseKioslaverc(garbage);
  EXPECT_EQ(parsed.type, 1);
  // Manual without any proxy named: nothing to show, not even the bypass list.
  EXPECT_EQ(KdeProxyLines(parsed), Lines{});
}

TEST(GnomeProxy, ModesGiveTheirLines) {
  platform::GnomeProxySettings s;
  s.mode = "manual";
  s.http = {"proxy.example", 3128};
  s.socks = {"socks.example", 0};
  s.ftp = {"", 21};
  s.ignoreHosts = {"localhost", "127.0.0.0/8"};
  EXPECT_EQ(GnomeProxyLines(s), (Lines{"http=proxy.example:3128", "socks=socks.example",
                                       "bypass=localhost,127.0.0.0/8"}));
  s.mode = "auto";
  EXPECT_EQ(GnomeProxyLines(s), Lines{"wpad=auto"});
  s.autoconfigUrl = "http://wpad/proxy.pac";
  EXPECT_EQ(GnomeProxyLines(s), Lines{"pac=http://wpad/proxy.pac"});
  s.mode = "none";
  EXPECT_EQ(GnomeProxyLines(s), Lines{});
}

class FakeDesktop : public platform::DesktopProxySource {
 public:
  explicit FakeDesktop(platform::Answer<platform::GnomeProxySettings> answer)
      : answer_(std::move(answer)) {}
  platform::Answer<platform::GnomeProxySettings> GnomeProxy() const override {
    ++calls;
    return answer_;
  }
  mutable std::atomic<int> calls{0};

 private:
  platform::Answer<platform::GnomeProxySettings> answer_;
};

platform::Answer<platform::GnomeProxySettings> GnomeManual() {
  platform::GnomeProxySettings s;
  s.mode = "manual";
  s.http = {"gnome-http", 1};
  s.ftp = {"gnome-ftp", 2};
  s.socks = {"gnome-socks", 3};
  return platform::Answer<platform::GnomeProxySettings>::Of(s, "GSettings test");
}

InternetData Read(const testing::TempDir& tree, std::vector<std::string> env,
                  std::shared_ptr<const platform::DesktopProxySource> desktop) {
  testing::LinuxTree linux{std::move(env), nullptr, std::move(desktop)};
  return linuxparts::ReadInternet(platform::OsServicesOf(*linux.Services(tree.path())));
}

TEST(DesktopProxyPrecedence, EnvironmentThenKdeThenGnome) {
  testing::TempDir tree;
  tree.Write("home/u/.config/kioslaverc",
             "[Proxy Settings]\nProxyType=1\nhttpProxy=http://kde-http 1\n"
             "httpsProxy=http://kde-https 2\nftpProxy=http://kde-ftp 3\n");
  auto gnome = std::make_shared<FakeDesktop>(GnomeManual());
  const InternetData net = Read(tree, {"HOME=/home/u", "http_proxy=http://env:8080"}, gnome);
  EXPECT_EQ(net.ProxyServer, (Lines{"http=http://env:8080", "https=http://kde-https:2",
                                    "ftp=http://kde-ftp:3", "socks=gnome-socks:3"}));
  EXPECT_EQ(gnome->calls, 1);
  EXPECT_EQ(net.ConnectionType, TConnectionType::ctLAN);
  EXPECT_TRUE(net.proxySource.ok());
  EXPECT_EQ(net.proxySource.source, "environment *_proxy");

  // XDG_CONFIG_HOME moves the file; without the environment's proxy KDE's line stands.
  tree.Write("cfg/kioslaverc", "[Proxy Settings]\nProxyType=2\nProxy Config Script=http://pac\n");
  const InternetData pac = Read(tree, {"HOME=/home/u", "XDG_CONFIG_HOME=/cfg"}, nullptr);
  EXPECT_EQ(pac.ProxyServer, Lines{"pac=http://pac"});
  EXPECT_EQ(pac.proxySource.source, "/cfg/kioslaverc");
}

TEST(DesktopProxyPrecedence, NothingAnywhereSaysWhyInOneReason) {
  testing::TempDir tree;
  auto gnome = std::make_shared<FakeDesktop>(platform::Answer<platform::GnomeProxySettings>::Fail(
      platform::Status::Missing, "GSettings org.gnome.system.proxy", "schema not installed"));
  const InternetData net = Read(tree, {"HOME=/home/u"}, gnome);
  EXPECT_TRUE(net.ProxyServer.empty());
  EXPECT_EQ(net.ConnectionType, TConnectionType::ctNone);
  EXPECT_EQ(net.proxySource.Explain(),
            "proxy settings: missing (none in the environment, KDE or GNOME settings)");
}

// Reading GNOME's settings must leave no file behind: only a session that already opened its
// settings store is asked.
TEST(GioProxyBinding, AskedOnlyWhereReadingCreatesNoFile) {
  testing::TempDir runtime;
  const std::string dir = runtime.path().string();
  auto why = [](std::vector<std::string> env) {
    return platform::SettingsReadWouldWrite(platform::FixedEnvironment(std::move(env)));
  };
  EXPECT_TRUE(why({"XDG_RUNTIME_DIR=" + dir}));
  EXPECT_TRUE(why({}));
  EXPECT_FALSE(why({"GSETTINGS_BACKEND=memory"}));
  runtime.Write("dconf/user", "");
  EXPECT_FALSE(why({"XDG_RUNTIME_DIR=" + dir}));
  EXPECT_FALSE(why({"HOME=/nowhere", "XDG_CACHE_HOME=" + dir})) << "the cache stands in";

  auto refused = platform::LinuxDesktopProxy(std::make_shared<platform::FixedEnvironment>(
                                                 std::vector<std::string>{"HOME=/nowhere"}))
                     ->GnomeProxy();
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.source.detail, "no desktop session has opened its settings");
}

TEST(GioProxyBinding, AbsentLibraryOrSchemaIsAFailureNotACrash) {
  auto noLibrary = platform::ReadGnomeProxySettings("libtavrin-no-such-gio.so.0");
  EXPECT_FALSE(noLibrary);
  EXPECT_EQ(noLibrary.source.status, platform::Status::Missing);

  // Whether or not this machine has the library, an unknown schema must not reach the call
  // that aborts on it.
  auto noSchema = platform::ReadGnomeProxySettings(platform::kGioLibrary, "org.tavrin.no.such");
  EXPECT_FALSE(noSchema);
  EXPECT_EQ(noSchema.source.status, platform::Status::Missing);

  // A library without the settings functions (the C library has none of them).
  auto wrongLibrary = platform::ReadGnomeProxySettings("libc.so.6");
  EXPECT_FALSE(wrongLibrary);
  EXPECT_EQ(wrongLibrary.source.status, platform::Status::NotSupported);
}

TEST(GioProxyBinding, ThisMachineAnswersOrSaysWhy) {
  auto answer = platform::LinuxDesktopProxy(platform::ProcessEnvironment())->GnomeProxy();
  if (!answer) {
    EXPECT_FALSE(answer.source.detail.empty());
    return;
  }
  for (const auto* e : {&answer->http, &answer->https, &answer->ftp, &answer->socks})
    EXPECT_TRUE(e->port >= 0 && e->port <= 65535);
  EXPECT_TRUE(answer->mode == "none" || answer->mode == "manual" || answer->mode == "auto")
      << answer->mode;
}

}  // namespace
}  // namespace tavrin::collectors
