// Bluetooth, sound, power and printers of a Windows machine: the decoders of its answers, and a
// hand-written snapshot (io.json's "windows" answers, a battery's device controls, the device
// keys of its registry) replayed through the collectors to the I/O and General page rows.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "collectors/devices/vsi_bluetooth.h"
#include "collectors/devices/windows_bluetooth.h"
#include "collectors/system/vsi_apm.h"
#include "collectors/system/vsi_media.h"
#include "collectors/system/vsi_printers.h"
#include "collectors/system/windows_battery.h"
#include "collectors/system/windows_media.h"
#include "collectors/system/windows_power.h"
#include "collectors/system/windows_printers.h"
#include "collectors/system_info.h"
#include "gather/controller.h"
#include "pages/categories.h"
#include "pages/page_model.h"
#include "platform/os_facts_json.h"
#include "platform/recorded/snapshot.h"
#include "tests/support/test_services.h"

namespace tavrin::collectors {
namespace {

using nlohmann::json;

// Little-endian byte images of the Windows structures, built by hand from their public
// layouts: SYSTEM_POWER_STATUS, PROCESSOR_POWER_INFORMATION, BATTERY_STATUS,
// BATTERY_INFORMATION and the battery driver's UTF-16 texts.
std::string Dwords(std::initializer_list<uint32_t> values) {
  std::string out;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
  return out;
}

std::string PowerStatus(uint8_t line, uint8_t flag, uint8_t percent, uint32_t life, uint32_t full) {
  return std::string{static_cast<char>(line), static_cast<char>(flag), static_cast<char>(percent),
                     '\0'} +
         Dwords({life, full});
}

std::string Utf16(std::string_view ascii) {
  std::string out;
  for (char c : ascii) out += {c, '\0'};
  return out + std::string(2, '\0');
}

std::string BatteryInformation(std::string_view chemistry, uint32_t designed, uint32_t full,
                               uint32_t cycles) {
  return Dwords({0x80000000}) + std::string{1, '\0', '\0', '\0'} + std::string(chemistry) +
         Dwords({designed, full, 0, 0, 0, cycles});
}

TEST(WindowsIoDecoders, BluetoothAddressNamesAndTimes) {
  platform::WindowsBluetoothDevice phone;
  phone.name = "Phone";
  phone.address = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
  phone.remembered = phone.authenticated = true;
  phone.lastUsed = {2026, 12, 0, 6, 9, 30, 15, 500};
  platform::WindowsBluetoothDevice nameless = phone;
  nameless.name.clear();
  const auto list = WindowsBluetoothDevices({nameless, phone});
  ASSERT_EQ(list.size(), 1u);  // a remembered device without a name is not listed
  EXPECT_EQ(list[0].Address, "66:55:44:33:22:11");
  EXPECT_EQ(list[0].LastUsed, int64_t{1796549415});  // 2026-12-06 09:30:15
  EXPECT_FALSE(list[0].LastSeen.has_value());        // never seen: a zero time

  EXPECT_EQ(SystemTimeSeconds({1970, 1, 4, 1, 0, 0, 0, 0}), int64_t{0});
  EXPECT_EQ(SystemTimeSeconds({2000, 2, 2, 29, 23, 59, 59, 0}), int64_t{951868799});
  EXPECT_FALSE(SystemTimeSeconds({2026, 13, 0, 1, 0, 0, 0, 0}).has_value());
}

TEST(WindowsIoDecoders, MultimediaTextsAndMediaDevices) {
  EXPECT_EQ(MultimediaDeviceText({"Speakers (Realtek)", 0x0501}), "Speakers (Realtek) v5.1");
  EXPECT_EQ(MultimediaDeviceText({"Mixer", 0x0A00}), "Mixer v10.0");

  auto device = [](std::string name, uint8_t cls, std::string link) {
    TDevice d;
    d.Name = std::move(name);
    d.DeviceClass = cls;
    d.SymbolicLink = std::move(link);
    return d;
  };
  // The sound card is the first media device with an interface; the game port is found by name
  // whatever its position; a device of another class is no media device.
  const auto media =
      MediaDevicesOf({device("Legacy MIDI", 30, ""), device("Keyboard", 13, "k"),
                      device("HD Audio", 30, "a"), device("Standard GAME port", 30, "g")});
  EXPECT_EQ(media.Devices,
            (std::vector<std::string>{"Legacy MIDI", "HD Audio", "Standard GAME port"}));
  EXPECT_EQ(media.SoundCardIndex, 1);
  EXPECT_EQ(media.GamePortIndex, 2);
  EXPECT_EQ(MediaDevicesOf({}).SoundCardIndex, -1);
}

TEST(WindowsIoDecoders, PowerStatusFlagsAndProcessorEntries) {
  // BatteryFlag 0 is a discharging battery; 255 is unknown together with every flag of its bits.
  EXPECT_EQ(BatteryFlagState(0), 1 << bsDischarging);
  EXPECT_EQ(BatteryFlagState(255), (1 << bsUnknown) | (1 << bsHigh) | (1 << bsLow) |
                                       (1 << bsCritical) | (1 << bsCharging) | (1 << bsNoBattery));
  EXPECT_EQ(BatteryFlagState(9), (1 << bsHigh) | (1 << bsCharging));
  EXPECT_EQ(BatteryFlagState(128), 1 << bsNoBattery);

  auto s = DecodeSystemPowerStatus(PowerStatus(1, 8, 80, 0xFFFFFFFF, 7200));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->ACPowerStatus, psOnline);
  EXPECT_EQ(s->BatteryLifePercent, 80);
  EXPECT_EQ(s->BatteryLifeTime, -1);
  EXPECT_EQ(s->BatteryLifeFullTime, 7200);
  EXPECT_EQ(DecodeSystemPowerStatus(PowerStatus(255, 0, 0, 0, 0))->ACPowerStatus, psUnknown);
  EXPECT_FALSE(DecodeSystemPowerStatus(std::string(11, '\0')));

  // Whole entries only: a cut-off one is not a processor.
  const auto cpus = DecodeProcessorPower(
      Dwords({0, 2400, 1200, 2400, 3, 1, 1, 2400, 800, 2000, 3, 0}) + std::string(20, '\0'));
  ASSERT_EQ(cpus.size(), 2u);
  EXPECT_EQ(cpus[1].Number, 1u);
  EXPECT_EQ(cpus[1].CurrentMHz, 800u);
  EXPECT_EQ(cpus[1].MHzLimit, 2000u);
  EXPECT_EQ(cpus[0].MaxIdleState, 3u);
  EXPECT_EQ(cpus[0].CurrentIdleState, 1u);
}

TEST(WindowsIoDecoders, BatteryReplies) {
  TBatteryRecord b;
  EXPECT_EQ(BatteryWaitStatusInput(7), Dwords({7, 0, 0, 0, 0}));
  EXPECT_EQ(BatteryQueryInformationInput(7, kBatteryDeviceName), Dwords({7, 4, 0}));
  // The driver's unknown capacity and rate leave those values empty.
  ASSERT_TRUE(DecodeBatteryStatus(Dwords({2, 0xFFFFFFFF, 11400, 0x80000000}), b));
  EXPECT_EQ(b.PowerState, kBatteryDischarging);
  EXPECT_FALSE(b.CurrentCapacity || b.Rate);
  EXPECT_EQ(b.Voltage, 11400u);
  ASSERT_TRUE(DecodeBatteryStatus(Dwords({4, 30000, 12000, static_cast<uint32_t>(-15000)}), b));
  EXPECT_EQ(b.Rate, -15000);
  EXPECT_FALSE(DecodeBatteryStatus(Dwords({1, 2, 3}), b));

  ASSERT_TRUE(DecodeBatteryInformation(BatteryInformation("LION", 50000, 45000, 120), b));
  EXPECT_EQ(b.Chemistry, "LION");
  EXPECT_EQ(b.DesignedCapacity, 50000u);
  EXPECT_EQ(b.Capacity, 45000u);
  EXPECT_EQ(b.CycleCount, 120);
  EXPECT_FALSE(DecodeBatteryInformation(std::string(35, '\0'), b));

  EXPECT_EQ(BatteryText(Utf16("SMP") + "junk"), "SMP");
}

TEST(WindowsIoDecoders, DefaultPrinterRules) {
  using platform::Answer;
  using platform::WindowsPrinterList;
  const auto profile = Answer<std::string>::Of("Office Laser,winspool,Ne01:", "profile");
  const auto none = Answer<WindowsPrinterList>::Of({}, "EnumPrinters");
  WindowsPrinterList one;
  one.printers.push_back({});
  one.printers[0].printerName = "\\\\srv\\Plotter";
  EXPECT_EQ(DefaultPrinterName(Answer<WindowsPrinterList>::Of(one, "EnumPrinters"), profile),
            "\\\\srv\\Plotter");
  EXPECT_EQ(DefaultPrinterName(none, profile), "Office Laser");
  EXPECT_EQ(
      DefaultPrinterName(Answer<WindowsPrinterList>::Of({kErrorInvalidName, {}}, "x"), profile),
      "");
  // No printers and no profile entry: no default.
  EXPECT_EQ(DefaultPrinterName(none, Answer<std::string>::Fail(platform::Status::Missing, "p")),
            "");
  EXPECT_EQ(ProfileDevicePrinter("Only a name"), "Only a name");
}

// ---------------------------------------------------------------------------------------------
// The snapshot.

constexpr const char* kBatteryLink = "\\\\?\\ACPI#PNP0C0A#1#{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";

// A REG_MULTI_SZ of one text, as regedit writes it: hex(7) UTF-16LE bytes with terminators.
std::string MultiSz(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "hex(7):";
  auto byte = [&](unsigned char c) {
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
    out += ',';
  };
  for (char c : text) byte(static_cast<unsigned char>(c)), byte(0);
  for (int i = 0; i < 4; ++i) byte(0);
  out.pop_back();
  return out;
}

// One present device instance with its hardware id, class and (when `guid` is given) the
// interface key that gives it a symbolic link.
std::string DeviceKeys(const std::string& enumerator, const std::string& device,
                       const std::string& instance, const std::string& description,
                       const std::string& classGuid, const std::string& interfaceGuid) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\" + enumerator +
                          "\\" + device + "\\" + instance;
  std::string text = "[" + key + "]\n\"DeviceDesc\"=\"" + description + "\"\n\"ClassGUID\"=\"" +
                     classGuid + "\"\n\"HardwareID\"=" + MultiSz(enumerator + "\\" + device) +
                     "\n\n[" + key + "\\Control]\n\n";
  if (!interfaceGuid.empty()) {
    const std::string name =
        "##?#" + enumerator + "#" + device + "#" + instance + "#" + interfaceGuid;
    std::string link = "\\\\?\\" + name.substr(4);
    std::string escaped;
    for (char c : link) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    text += "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" +
            interfaceGuid + "\\" + name + "\\#]\n\"SymbolicLink\"=\"" + escaped + "\"\n\n";
  }
  return text;
}

std::string RegistryText(bool withProfileDevice) {
  const std::string media = "{4d36e96c-e325-11ce-bfc1-08002be10318}";
  const std::string audioInterface = "{6994ad04-93ef-11d0-a3cc-00a0c9223196}";
  const std::string battery = "{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";
  std::string text = "Windows Registry Editor Version 5.00\n\n";
  text += DeviceKeys("HDAUDIO", "FUNC_01&VEN_10EC&DEV_0269", "4&1&0001",
                     "High Definition Audio Device", media, audioInterface);
  text += DeviceKeys("ROOT", "GAMEPORT", "0000", "Standard Game Port", media, audioInterface);
  text += DeviceKeys("ROOT", "LEGACY_MIDI", "0000", "Legacy MIDI Driver", media, "");
  text += DeviceKeys("ACPI", "PNP0C0A", "1", "Microsoft ACPI-Compliant Control Method Battery",
                     battery, battery);
  if (withProfileDevice)
    text +=
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows]\n"
        "\"Device\"=\"Office Laser,winspool,Ne01:\"\n\n";
  return text;
}

json Answered(json value, const char* source) {
  return {{"status", "ok"}, {"source", source}, {"value", std::move(value)}};
}

json WindowsAnswers() {
  json bluetooth =
      json::array({{{"name", "Headset"},
                    {"address", {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}},
                    {"class", 0x240404},
                    {"authenticated", true},
                    {"remembered", true},
                    {"connected", true},
                    {"lastSeen", {2026, 12, 0, 6, 8, 0, 0, 0}},
                    {"lastUsed", {2026, 11, 3, 25, 17, 45, 0, 0}}},
                   // Remembered, but it never told its name.
                   {{"name", ""}, {"address", {1, 2, 3, 4, 5, 6}}, {"remembered", true}}});
  json speakers = {{"name", "Speakers (Realtek High Definition Audio)"}, {"driverVersion", 0x0501}};
  json multimedia = {
      {"waveOut", {speakers, speakers}},  // two identical devices are listed once
      {"waveIn",
       {{{"name", "Microphone (Realtek)"}, {"driverVersion", 0x0501}},
        {{"status", "failed"},
         {"source", "waveInGetDevCapsW 1"},
         {"detail", "MMSYSERR_NODRIVER"}}}},
      {"midiOut", {{{"name", "Microsoft GS Wavetable Synth"}, {"driverVersion", 0x0A00}}}},
      {"mixer", {{{"name", "Speakers (Realtek)"}, {"driverVersion", 0x0501}}}}};
  json printers =
      json::array({{{"printerName", "Office Laser"},
                    {"shareName", ""},
                    {"portName", "USB001"},
                    {"driverName", "HP LaserJet 4050 PCL6"},
                    {"comment", "second floor"},
                    {"location", "Room 212"},
                    {"attributes", 0x40},
                    {"driver",
                     {{"name", "HP LaserJet 4050 PCL6"},
                      {"driverPath", "C:\\Windows\\system32\\spool\\DRIVERS\\x64\\3\\hpcu118c.dll"},
                      {"monitorName", ""}}}},
                   // A connection to a shared printer of another machine.
                   {{"printerName", "\\\\PRINTSRV\\Plotter"},
                    {"serverName", "\\\\PRINTSRV"},
                    {"shareName", "Plotter"},
                    {"portName", "IP_10.0.0.9"},
                    {"driverName", "HP DesignJet"},
                    {"attributes", 0x10},
                    {"default", true},
                    {"driver", {{"error", 1801}, {"message", "The printer name is invalid."}}}}});
  return {{"bluetooth", Answered(bluetooth, "BluetoothFindFirstDevice")},
          {"multimedia", Answered(multimedia, "winmm")},
          {"processorPower", Answered(platform::Base64Encode(Dwords(
                                          {0, 2400, 1800, 2400, 2, 1, 1, 2400, 800, 2400, 2, 2})),
                                      "CallNtPowerInformation ProcessorInformation")},
          {"systemPowerStatus",
           Answered(platform::Base64Encode(PowerStatus(0, 1, 72, 9000, 0xFFFFFFFF)),
                    "GetSystemPowerStatus")},
          {"printers", Answered(printers, "EnumPrintersW")}};
}

json BatteryControls() {
  const uint32_t tag = 7;
  auto level = [&](uint32_t l) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string key = "294044:";
    for (unsigned char c : BatteryQueryInformationInput(tag, l)) {
      key += kHex[c >> 4];
      key += kHex[c & 0xF];
    }
    return key;
  };
  auto out = [](const std::string& bytes) {
    return json{{"output", platform::Base64Encode(bytes)}};
  };
  return {{"devices",
           {{kBatteryLink,
             {{"294040", out(Dwords({tag}))},
              {"29404c", out(Dwords({2, 32400, 11100, static_cast<uint32_t>(-9000)}))},
              {level(kBatteryManufactureName), out(Utf16("SMP"))},
              {level(kBatteryDeviceName), out(Utf16("DELL 7FHHN"))},
              {level(kBatterySerialNumber), out(Utf16("4242"))},
              {level(kBatteryUniqueId), out(Utf16("SMP7FHHN4242"))},
              {level(kBatteryTemperature), out(Dwords({3031}))},
              {level(kBatteryEstimatedTime), out(Dwords({12960}))},
              {level(kBatteryInformation), out(BatteryInformation("LiP ", 60000, 54000, 310))}}}}}};
}

void WriteSnapshot(const testing::TempDir& dir, const json& windows, bool withProfileDevice,
                   bool withBattery) {
  dir.Write("snapshot.json", R"({"format": "tavrin-snapshot", "version": 1})");
  dir.Write("system.json", R"({"OsVersionRecord": {"status": "ok", "source": "GetVersionExW",
      "value": {"platform": 2, "major": 10, "minor": 0, "build": 19045, "csd": ""}}})");
  dir.Write("registry/devices.reg", RegistryText(withProfileDevice));
  dir.Write("io.json", json{{"windows", windows}}.dump());
  if (withBattery) dir.Write("controls.json", BatteryControls().dump());
}

std::shared_ptr<const platform::Services> Open(const testing::TempDir& dir) {
  auto opened = platform::OpenSnapshot(dir.path());
  EXPECT_TRUE(opened.services) << opened.error;
  if (!opened.services) return nullptr;
  return std::make_shared<const platform::Services>(std::move(*opened.services));
}

TEST(WindowsIoSnapshot, CollectorsReplayTheWindowsAnswers) {
  testing::TempDir dir;
  WriteSnapshot(dir, WindowsAnswers(), true, true);
  auto services = Open(dir);
  ASSERT_TRUE(services);

  TVexa_BT bt(services);
  bt.RefreshData();
  EXPECT_TRUE(bt.FromWindows);
  ASSERT_EQ(bt.DeviceCount(), 1);
  EXPECT_EQ(bt.Devices[0].Name, "Headset");
  EXPECT_EQ(bt.Devices[0].Address, "66:55:44:33:22:11");
  EXPECT_EQ(bt.Devices[0].Class, 0x240404u);
  EXPECT_TRUE(bt.Devices[0].Authenticated && bt.Devices[0].Remembered && bt.Devices[0].Connected);
  EXPECT_TRUE(bt.Adapters.empty());

  TVexa_Media media(services);
  media.RefreshData();
  EXPECT_TRUE(media.FromWindows);
  // In the device list's order (by class, then by instance key).
  EXPECT_EQ(media.Devices, (std::vector<std::string>{"High Definition Audio Device",
                                                     "Standard Game Port", "Legacy MIDI Driver"}));
  EXPECT_EQ(media.SoundCardIndex, 0);
  EXPECT_EQ(media.GamePortIndex, 1);
  EXPECT_EQ(media.WaveOut,
            (std::vector<std::string>{"Speakers (Realtek High Definition Audio) v5.1"}));
  EXPECT_EQ(media.WaveIn, (std::vector<std::string>{"Microphone (Realtek) v5.1"}));
  EXPECT_EQ(media.MIDIOut, (std::vector<std::string>{"Microsoft GS Wavetable Synth v10.0"}));
  EXPECT_TRUE(media.MIDIIn.empty() && media.AUX.empty());
  EXPECT_EQ(media.Mixer, (std::vector<std::string>{"Speakers (Realtek) v5.1"}));

  TVexa_APM apm(services);
  apm.RefreshData();
  EXPECT_TRUE(apm.FromWindows);
  EXPECT_EQ(apm.ACPowerStatus, psOffline);
  EXPECT_EQ(apm.BatteryChargeStatus, 1 << bsHigh);
  EXPECT_EQ(apm.BatteryLifePercent, 72);
  EXPECT_EQ(apm.BatteryLifeTime, 9000);
  EXPECT_EQ(apm.BatteryLifeFullTime, -1);
  ASSERT_EQ(apm.ProcessorCount(), 2);  // the buffer grew from one entry to two
  EXPECT_EQ(apm.ProcessorList[1].CurrentMHz, 800u);
  ASSERT_EQ(apm.BatteryCount(), 1);
  const TBatteryRecord& b = apm.BatteryList[0];
  EXPECT_EQ(b.SymbolicLink, kBatteryLink);
  EXPECT_EQ(b.Description, "Microsoft ACPI-Compliant Control Method Battery");
  EXPECT_EQ(b.Tag, 7u);
  EXPECT_EQ(b.Manufacturer, "SMP");
  EXPECT_EQ(b.DeviceName, "DELL 7FHHN");
  EXPECT_EQ(b.SerialNumber, "4242");
  EXPECT_EQ(b.UniqueID, "SMP7FHHN4242");
  EXPECT_EQ(b.Chemistry, "LiP");
  EXPECT_EQ(b.DesignedCapacity, 60000u);
  EXPECT_EQ(b.Capacity, 54000u);
  EXPECT_EQ(b.CurrentCapacity, 32400u);
  EXPECT_EQ(b.Voltage, 11100u);
  EXPECT_EQ(b.Rate, -9000);
  EXPECT_EQ(b.Temperature, 3031u);
  EXPECT_EQ(b.EstimatedTime, 12960);
  EXPECT_EQ(b.CycleCount, 310);

  TVexa_Printers printers(services);
  printers.RefreshData();
  EXPECT_TRUE(printers.FromWindows);
  ASSERT_EQ(printers.PrinterCount(), 2);
  const auto local = printers.Printer(0);
  EXPECT_EQ(local.Driver, "HP LaserJet 4050 PCL6");
  EXPECT_EQ(local.Location, "Room 212");
  EXPECT_EQ(local.Comment, "second floor");
  EXPECT_EQ(local.DriverPath, "C:\\Windows\\system32\\spool\\DRIVERS\\x64\\3\\hpcu118c.dll");
  EXPECT_EQ(local.DriverVersion, "");  // a snapshot holds no driver files
  EXPECT_EQ(local.DriverVersionSource.status, platform::Status::NotSupported);
  const auto connection = printers.Printer(1);
  EXPECT_EQ(connection.PrinterName, "\\\\PRINTSRV\\Plotter");
  EXPECT_EQ(connection.Share, "Plotter");
  EXPECT_EQ(connection.Port, "IP_10.0.0.9");
  EXPECT_EQ(connection.DriverPath, "");  // it did not open
  EXPECT_EQ(connection.DriverSource.status, platform::Status::Failed);
  // The spooler's default comes before the profile's entry.
  EXPECT_EQ(printers.DefaultPrinter, "\\\\PRINTSRV\\Plotter");
}

TEST(WindowsIoSnapshot, NoPrintersNoDefaultAndTheProfileFallback) {
  json windows = WindowsAnswers();
  windows["printers"] = Answered(json::array(), "EnumPrintersW");
  {
    testing::TempDir dir;
    WriteSnapshot(dir, windows, false, false);
    TVexa_Printers printers(Open(dir));
    printers.RefreshData();
    EXPECT_EQ(printers.PrinterCount(), 0);
    EXPECT_EQ(printers.DefaultPrinter, "");
  }
  // With no default from the spooler the user's profile entry names it.
  testing::TempDir dir;
  WriteSnapshot(dir, windows, true, false);
  auto services = Open(dir);
  TVexa_Printers printers(services);
  printers.RefreshData();
  EXPECT_EQ(printers.DefaultPrinter, "Office Laser");
  // Without the battery's controls it keeps its link and description only.
  TVexa_APM apm(services);
  apm.RefreshData();
  ASSERT_EQ(apm.BatteryCount(), 1);
  EXPECT_EQ(apm.BatteryList[0].Tag, 0u);
  EXPECT_EQ(apm.BatteryList[0].Manufacturer, "");
}

TEST(WindowsIoSnapshot, WrongAnswersRefuseTheSnapshotNamingTheFile) {
  const std::pair<const char*, json> wrong[] = {
      {"bluetooth", Answered(json::array({{{"name", "X"}, {"address", {1, 2, 3, 4, 5}}}}), "s")},
      {"bluetooth", Answered(json::array({{{"name", "X"}, {"lastUsed", {2026, 1}}}}), "s")},
      {"systemPowerStatus", Answered("not base64!", "s")},
      {"multimedia", Answered(json::array(), "s")},
      {"printers", Answered(json::array({{{"driver", "hp.dll"}}}), "s")},
  };
  for (const auto& [key, answer] : wrong) {
    json windows = WindowsAnswers();
    windows[key] = answer;
    testing::TempDir dir;
    WriteSnapshot(dir, windows, false, false);
    auto opened = platform::OpenSnapshot(dir.path());
    EXPECT_FALSE(opened.services) << key;
    EXPECT_NE(opened.error.find("io.json"), std::string::npos) << opened.error;
  }
}

// Every row of the I/O page as "section | label | value | comment".
std::string IoPageText(std::shared_ptr<const platform::Services> services, bool advanced) {
  auto aggregate = std::make_shared<TVexa_SystemInfo>(std::move(services));
  gather::TGetFunctionsClass controller;
  controller.SetAggregate(aggregate);
  controller.SetAdvancedMode(advanced);
  const auto limit = std::chrono::seconds(30);
  aggregate->Refresh<TVexa_Media>(limit);
  aggregate->Refresh<TVexa_APM>(limit);
  aggregate->Refresh<TVexa_Printers>(limit);
  aggregate->Refresh<TVexa_BT>(limit);
  controller.FillCategory(*pages::FindCategory("ioinfo"), nullptr);
  std::string text;
  for (const auto& section : controller.FindPage("ioinfo")->Sections())
    for (const auto& row : section.Items)
      if (section.Caption != "Ports" && section.Caption != "USB")
        text += section.Caption + " | " + row.Caption + " |" + row.SubItems[0] + " | " +
                (row.SubItems.size() > 1 ? row.SubItems[1] : "") + "\n";
  return text;
}

TEST(WindowsIoSnapshot, IoPageShowsTheWindowsRows) {
  testing::TempDir dir;
  WriteSnapshot(dir, WindowsAnswers(), true, true);
  const std::string text = IoPageText(Open(dir), true);
  for (const char* row : {
           "Office Laser | HP LaserJet 4050 PCL6 | USB001",
           "\\\\PRINTSRV\\Plotter (default) | HP DesignJet | IP_10.0.0.9",
           "Shared as: | Plotter |",
           "Driver File: | C:\\Windows\\system32\\spool\\DRIVERS\\x64\\3\\hpcu118c.dll |",
           "High Definition Audio Device | Sound Card |",
           "Standard Game Port | Game Port |",
           "Legacy MIDI Driver | Multimedia Device |",
           "Speakers (Realtek High Definition Audio) v5.1 | Wave Output |",
           "Microsoft GS Wavetable Synth v10.0 | MIDI Output |",
           "Speakers (Realtek) v5.1 | Mixer |",
           "Headset | Audio/Video, paired, connected, Last Used: 2026-11-25, Last Seen: 2026-12-06 "
           "|",
           "Address: | 66:55:44:33:22:11 |",
           "AC Power: | Offline |",
           "Battery Status: | High |",
           "Remaining Charge: | 72 % |",
           "Remaining Time: | 2 h 30 min |",
           "Battery Microsoft ACPI-Compliant Control Method Battery: | SMP, DELL 7FHHN | LiP",
           "State: | Discharging |",
           "Design Capacity: | 60.00 Wh |",
           "Temperature: | 30.0 °C |",
           "CPU 1: | 800 MHz of 2400 MHz | limit 2400 MHz",
           "Idle states of CPU 1: | state 2 of 2 |",
       })
    EXPECT_NE(text.find(row), std::string::npos) << row << "\n" << text;
  // The General page names the spooler's default printer.
  {
    auto aggregate = std::make_shared<TVexa_SystemInfo>(Open(dir));
    gather::TGetFunctionsClass controller;
    controller.SetAggregate(aggregate);
    aggregate->Refresh<TVexa_Printers>(std::chrono::seconds(30));
    controller.FillCategory(*pages::FindCategory("generalinfo"), nullptr);
    bool found = false;
    for (const auto& section : controller.FindPage("generalinfo")->Sections())
      for (const auto& row : section.Items)
        if (row.Caption == "Default Printer:")
          found = pages::TrimText(row.SubItems[0]) == "\\\\PRINTSRV\\Plotter";
    EXPECT_TRUE(found);
  }
  // No Linux rows: no sound server, no printer state.
  EXPECT_EQ(text.find("Sound server"), std::string::npos) << text;
  EXPECT_EQ(text.find("Adapter"), std::string::npos) << text;
}

}  // namespace
}  // namespace tavrin::collectors
