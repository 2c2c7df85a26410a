// Names of S.M.A.R.T. attribute ids.
//
// ATA/ACS-3 (7.52 SMART) defines the attribute table's frame but leaves the ids to the drive
// makers; the names below are the meanings makers publish in their drive manuals and that
// have become common usage. Sorted by id; a test checks the order and that no id repeats.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavrin::collectors {

struct SmartAttributeNameRow {
  uint8_t id;
  std::string_view name;
};

inline constexpr SmartAttributeNameRow kSmartAttributeNames[] = {
    {1, "Raw Read Error Rate"},
    {2, "Throughput Performance"},
    {3, "Spin-Up Time"},
    {4, "Start/Stop Count"},
    {5, "Reallocated Sectors Count"},
    {7, "Seek Error Rate"},
    {8, "Seek Time Performance"},
    {9, "Power-On Hours"},
    {10, "Spin Retry Count"},
    {11, "Calibration Retry Count"},
    {12, "Power Cycle Count"},
    {13, "Soft Read Error Rate"},
    {170, "Available Reserved Space"},
    {171, "Program Fail Count"},
    {172, "Erase Fail Count"},
    {173, "Wear Leveling Count"},
    {174, "Unexpected Power Loss Count"},
    {177, "Wear Range Delta"},
    {179, "Used Reserved Block Count"},
    {181, "Program Fail Count Total"},
    {182, "Erase Fail Count Total"},
    {183, "Runtime Bad Block"},
    {184, "End-to-End Error"},
    {187, "Reported Uncorrectable Errors"},
    {188, "Command Timeout"},
    {189, "High Fly Writes"},
    {190, "Airflow Temperature"},
    {191, "G-Sense Error Rate"},
    {192, "Power-off Retract Count"},
    {193, "Load Cycle Count"},
    {194, "Temperature"},
    {195, "Hardware ECC Recovered"},
    {196, "Reallocation Event Count"},
    {197, "Current Pending Sector Count"},
    {198, "Uncorrectable Sector Count"},
    {199, "UltraDMA CRC Error Count"},
    {200, "Multi-Zone Error Rate"},
    {220, "Disk Shift"},
    {222, "Loaded Hours"},
    {223, "Load/Unload Retry Count"},
    {224, "Load Friction"},
    {226, "Load-in Time"},
    {230, "GMR Head Amplitude"},
    {231, "Life Left"},
    {232, "Endurance Remaining"},
    {233, "Media Wearout Indicator"},
    {240, "Head Flying Hours"},
    {241, "Total LBAs Written"},
    {242, "Total LBAs Read"},
    {254, "Free Fall Protection"},
};

}  // namespace tavrin::collectors
