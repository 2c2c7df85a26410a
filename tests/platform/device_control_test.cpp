// The device controls of a replayed Windows snapshot: opens, replies by control and input,
// refusals with their codes, and files a snapshot must not be opened with.
#include <gtest/gtest.h>

#include "platform/device_control.h"
#include "platform/service_hooks.h"
#include "platform/snapshot_json.h"
#include "tests/support/test_services.h"

namespace tavrin::platform {
namespace {

TEST(DeviceControl, KeysNameTheCodeAndTheInput) {
  EXPECT_EQ(ControlKey(0x70000, {}), "70000");
  EXPECT_EQ(ControlKey(0, {}), "0");
  EXPECT_EQ(ControlKey(0x7C088, std::string("\x00\x02\xA0", 3)), "7c088:0002a0");
}

TEST(DeviceControl, ReplaysRepliesAndRefusals) {
  testing::TempDir snapshot;
  // "AQI=" is the two bytes 01 02; "Aw==" the one byte 03.
  snapshot.Write("controls.json", R"({
    "devices": {
      "\\\\.\\PhysicalDrive0": {
        "0x70000": {"output": "AQI="},
        "7C088:0A0B": {"output": "Aw=="},
        "41018": {"error": 1, "message": "Incorrect function."}
      }
    },
    "failedOpens": {"\\\\.\\PhysicalDrive1": {"error": 5, "message": "Access is denied."}}
  })");
  auto service = LoadRecordedDeviceControl(snapshot.path());
  ASSERT_TRUE(service);
  // Windows device names are not case sensitive.
  EXPECT_TRUE(service->Open("\\\\.\\physicaldrive0").ok);
  EXPECT_EQ(service->Control("\\\\.\\PhysicalDrive0", 0x70000, {}).output, "\x01\x02");
  // A control kept without its input answers any input; one kept with it, that input only.
  EXPECT_EQ(service->Control("\\\\.\\PhysicalDrive0", 0x70000, "xyz").output, "\x01\x02");
  EXPECT_EQ(service->Control("\\\\.\\PhysicalDrive0", 0x7C088, "\x0a\x0b").output, "\x03");
  const auto other_input = service->Control("\\\\.\\PhysicalDrive0", 0x7C088, "\x0a");
  EXPECT_FALSE(other_input.ok);
  EXPECT_EQ(other_input.error, 1u);
  const auto refused = service->Control("\\\\.\\PhysicalDrive0", 0x41018, {});
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.Source("IOCTL_SCSI_GET_ADDRESS").detail, "error 1 (Incorrect function.)");
  EXPECT_EQ(refused.Source("x").status, Status::NotSupported);
  const auto denied = service->Open("\\\\.\\PhysicalDrive1");
  EXPECT_EQ(denied.error, 5u);
  EXPECT_EQ(denied.Source("open").status, Status::PermissionDenied);
  // A device the machine did not have: "file not found", for opens and controls alike.
  EXPECT_EQ(service->Open("\\\\.\\PhysicalDrive2").error, 2u);
  EXPECT_EQ(service->Control("\\\\.\\PhysicalDrive2", 0x70000, {}).error, 2u);
}

TEST(DeviceControl, SnapshotWithoutControlsHasNone) {
  testing::TempDir snapshot;
  EXPECT_EQ(LoadRecordedDeviceControl(snapshot.path()), nullptr);
}

TEST(DeviceControl, DamagedFilesRefuseTheSnapshot) {
  for (const char* text :
       {"[1]", R"({"devices": []})", R"({"devices": {"d": {"zz": {"output": "AA=="}}}})",
        R"({"devices": {"d": {"70000": {"output": "***"}}}})",
        R"({"devices": {"d": {"70000": {}}}})", R"({"failedOpens": {"d": {"output": "AA=="}}})"}) {
    testing::TempDir snapshot;
    snapshot.Write("controls.json", text);
    EXPECT_THROW(LoadRecordedDeviceControl(snapshot.path()), SnapshotFileError) << text;
  }
}

}  // namespace
}  // namespace tavrin::platform
