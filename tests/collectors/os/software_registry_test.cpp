// The software collectors over a replayed Windows registry.
#include <gtest/gtest.h>

#include "collectors/os/office_helper.h"
#include "collectors/os/vsi_engines.h"
#include "collectors/os/vsi_software.h"
#include "collectors/os/vsi_startup.h"
#include "platform/registry.h"

namespace tavrin::collectors {
namespace {

using platform::RegRoot;
using platform::RegValue;

class WindowsFacts : public platform::SystemFacts {
 public:
  platform::Answer<std::string> UserName() const override { return Of("ann"); }
  platform::Answer<std::string> UserId() const override { return Of("S-1-5-21-1"); }
  platform::Answer<std::string> ComputerName() const override { return Of("BOX"); }
  platform::Answer<std::string> ProgramPath() const override { return Of("C:\\tavrin.exe"); }
  platform::Answer<platform::OsVersion> OsVersionRecord() const override {
    return platform::Answer<platform::OsVersion>::Of(
        {platform::OsPlatform::WindowsNT, 5, 1, 2600, "Service Pack 3"}, "fixed");
  }

 private:
  static platform::Answer<std::string> Of(std::string v) {
    return platform::Answer<std::string>::Of(std::move(v), "fixed");
  }
};

constexpr std::string_view kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr std::string_view kUserData =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\";
constexpr std::string_view kCv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";

std::shared_ptr<const platform::Services> WindowsServices(
    std::shared_ptr<platform::RegistryTree> reg) {
  auto services = std::make_shared<platform::Services>();
  services->system = std::make_shared<WindowsFacts>();
  services->registry = std::move(reg);
  return services;
}

std::string S(std::string_view a, std::string_view b) {
  return std::string(a) + std::string(b);
}

TEST(SoftwareRegistry, InstalledProgramsAndAppPaths) {
  auto reg = std::make_shared<platform::RegistryTree>();
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "7-Zip"), "DisplayName",
                RegValue::String("7-Zip 9.20"));
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "7-Zip"), "Publisher",
                RegValue::String("Igor Pavlov"));
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "7-Zip"), "InstallDate",
                RegValue::String("20090713"));
  // No DisplayName: an update or component registration, no record.
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "KB958644"), "UninstallString",
                RegValue::String("x"));
  // A DisplayName of the wrong type is none either.
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "Odd"), "DisplayName", RegValue::Dword(1));
  reg->SetValue(RegRoot::LocalMachine, S(kUninstall, "Long"), "DisplayName",
                RegValue::String(std::string(300, 'x')));
  // The installer data repeats 7-Zip (other case) and adds one product.
  reg->SetValue(RegRoot::LocalMachine, S(kUserData, "A1\\InstallProperties"), "DisplayName",
                RegValue::String("7-ZIP 9.20"));
  reg->SetValue(RegRoot::LocalMachine, S(kUserData, "B2\\InstallProperties"), "DisplayName",
                RegValue::String("Viewer"));
  reg->SetValue(RegRoot::LocalMachine, S(kUserData, "B2\\InstallProperties"), "DisplayVersion",
                RegValue::String("2.0"));
  reg->SetValue(RegRoot::LocalMachine, S(kCv, "App Paths\\wordpad.exe"), "Path",
                RegValue::String("C:\\Program Files\\Windows NT\\Accessories"));
  reg->CreateKey(RegRoot::LocalMachine, S(kCv, "App Paths\\nopath.exe"));

  TVexa_Software software(WindowsServices(reg));
  software.RefreshData();
  ASSERT_EQ(software.Count(), 3);
  EXPECT_EQ(software.Record(0).Name, "7-Zip 9.20");
  EXPECT_EQ(software.Record(0).Company, "Igor Pavlov");
  EXPECT_EQ(software.Record(0).InstallDate, "20090713");
  EXPECT_EQ(software.Record(1).Name.size(), 255u);
  EXPECT_EQ(software.Record(2).Name, "Viewer");
  EXPECT_EQ(software.Record(2).Version, "2.0");
  EXPECT_EQ(software.AppPaths(),
            (std::vector<std::string>{"nopath.exe=",
                                      "wordpad.exe=C:\\Program Files\\Windows NT\\Accessories"}));
}

TEST(SoftwareRegistry, StartupListsAndCount) {
  auto reg = std::make_shared<platform::RegistryTree>();
  reg->SetValue(RegRoot::CurrentUser, S(kCv, "Run"), "ctfmon",
                RegValue::String("C:\\WINDOWS\\system32\\ctfmon.exe"));
  reg->SetValue(RegRoot::LocalMachine, S(kCv, "Run"), "Tray", RegValue::String("tray.exe /s"));
  reg->SetValue(RegRoot::LocalMachine, S(kCv, "RunOnceEx\\000"), "1",
                RegValue::String("||setup.dll|Install|now"));
  reg->SetValue(RegRoot::LocalMachine, S(kCv, "RunOnceEx\\Depend"), "1", RegValue::String("x"));
  reg->SetValue(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                "BootExecute", RegValue::MultiString({"autocheck autochk *"}));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                "UserInit", RegValue::String("C:\\WINDOWS\\system32\\userinit.exe,,extra.exe"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                "Shell", RegValue::String("Explorer.exe"));
  reg->CreateKey(RegRoot::LocalMachine, S(kCv, "Explorer\\Browser Helper Objects\\{AA}"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Classes\\CLSID\\{AA}", "",
                RegValue::String("Helper"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Classes\\CLSID\\{AA}\\InprocServer32", "",
                RegValue::String("C:\\h.dll"));

  TVexa_Startup startup(WindowsServices(reg));
  startup.RefreshData();
  EXPECT_EQ(startup.HKCU_Runs, (TStartupList{"ctfmon=C:\\WINDOWS\\system32\\ctfmon.exe"}));
  EXPECT_EQ(startup.HKLM_Runs, (TStartupList{"Tray=tray.exe /s"}));
  EXPECT_EQ(startup.HKLMOnceEx_Runs, (TStartupList{"000=setup.dll Install now"}));
  EXPECT_EQ(startup.HKLMSessionManager_Runs, (TStartupList{"BootExecute=autocheck autochk *"}));
  EXPECT_EQ(startup.HKLMWinLogon_Runs, (TStartupList{"UserInit=C:\\WINDOWS\\system32\\userinit.exe",
                                                     "UserInit=extra.exe", "Shell=Explorer.exe"}));
  EXPECT_EQ(startup.BHO_Runs, (TStartupList{"Helper=C:\\h.dll"}));
  EXPECT_TRUE(startup.XdgSystem_Runs.empty());
  EXPECT_EQ(startup.RunsCount(), 8);
  std::size_t lines = 0;
  for (const auto& location : startup.Locations()) lines += location.list->size();
  EXPECT_EQ(lines, 8u);
}

TEST(SoftwareRegistry, OfficeAndInternetExplorer) {
  auto reg = std::make_shared<platform::RegistryTree>();
  reg->SetValue(RegRoot::ClassesRoot, "Word.Application", "",
                RegValue::String("Microsoft Word Application"));
  reg->SetValue(RegRoot::ClassesRoot, "Word.Application\\CurVer", "",
                RegValue::String("Word.Application.11"));
  reg->SetValue(RegRoot::ClassesRoot, "Word.Application\\CLSID", "", RegValue::String("{W}"));
  reg->SetValue(RegRoot::ClassesRoot, "CLSID\\{W}\\LocalServer32", "",
                RegValue::String("C:\\PROGRA~1\\MICROS~2\\OFFICE11\\WINWORD.EXE /automation"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Office\\11.0\\Common\\InstallRoot",
                "Path", RegValue::String("C:\\Program Files\\Microsoft Office\\OFFICE11\\"));
  reg->SetValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer", "Version",
                RegValue::String("6.0.2900.5512"));
  reg->SetValue(RegRoot::LocalMachine, S(kCv, "Internet Settings"), "MinorVersion",
                RegValue::String(";SP3;"));

  TVexa_Engines engines(WindowsServices(reg));
  engines.RefreshData();
  EXPECT_TRUE(engines.FromRegistry);
  EXPECT_EQ(engines.IE, "6.0.2900.5512 (,SP3,)");
  const TOfficeApplication* word = engines.Office.Application(0);
  ASSERT_NE(word, nullptr);
  EXPECT_TRUE(word->Installed);
  EXPECT_EQ(word->VersionNumber, "11");
  EXPECT_EQ(word->ProgramPath, "C:\\PROGRA~1\\MICROS~2\\OFFICE11\\WINWORD.EXE");
  EXPECT_EQ(engines.Office.InstallRoot, "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
  EXPECT_FALSE(engines.Office.Application(1)->Installed);
  EXPECT_EQ(engines.Office.Application(14), nullptr);
  EXPECT_EQ(engines.Office.InstalledDescription(), "Microsoft Word Application");

  TOfficeHelper none;
  none.DetectRegistry(platform::RegistryTree());
  EXPECT_FALSE(none.AnyInstalled());
  EXPECT_TRUE(none.InstallRoot.empty() && none.LastProduct.empty());
}

}  // namespace
}  // namespace tavrin::collectors
