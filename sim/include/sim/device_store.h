#pragma once
// The device tree of a machine, as rows of the store.
//
// A device node is "present" while it is in the machine (removal clears it, insertion sets it) and
// "enabled" unless the user disabled it; a disabled device reports problem 22. `starts` counts the
// device's starts (machine start, enable, property-change restart), so that the simulated driver can
// notice each start and read its parameters again. Every change goes through these functions, in a
// transaction, so other processes see it at their next read (PRAGMA data_version moves).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/store.h"

namespace sim::dev {

inline constexpr std::string_view kNetClassGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr std::string_view kAdapterHardwareId = "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01";
inline constexpr std::uint32_t kProblemDisabled = 22;

struct Device {
    std::int64_t id = 0;
    std::string instanceId;   // e.g. PCI\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01\4&1F7DBC9F&0&10F0
    std::string classGuid;    // e.g. kNetClassGuid
    std::string description;  // device description shown to people
    std::vector<std::string> hardwareIds;
    std::string driver;   // driver registry property: class GUID \ four-digit instance ("" when none)
    std::string service;  // driver service name
    bool present = true;
    bool enabled = true;
    std::uint32_t problem = 0;  // 0 = none; kProblemDisabled while disabled
    std::int64_t starts = 0;
};

// Every device node, present or not, in insertion order.
std::vector<Device> allDevices(Store& store);
std::vector<Device> presentDevices(Store& store);
std::optional<Device> findDevice(Store& store, std::string_view instanceId);

// Inserts a new device node (id and starts are assigned); returns its id.
std::int64_t addDevice(Store& store, const Device& device);
// Enable/disable: the device stops or starts; enabling counts a start.
bool setEnabled(Store& store, std::string_view instanceId, bool enabled);
// A property-change restart: counts a start when the device is enabled and present.
bool restart(Store& store, std::string_view instanceId);
// Removal and insertion of a device node; insertion counts a start when the device is enabled.
bool setPresent(Store& store, std::string_view instanceId, bool present);

// On machines with HKEY_DYN_DATA (the Windows 9x family), brings "Config Manager\Enum" in line with
// the device rows; the functions above call it after each change.
void syncDynamicEntries(Store& store);

}  // namespace sim::dev
