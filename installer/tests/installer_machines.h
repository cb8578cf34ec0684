#pragma once
// Machines for the installer tools' tests: built by the machine builder, then changed the way a
// case needs (another hardware-identifier list, another "ControlFlags"), directly in the store.

#include <optional>
#include <string>
#include <vector>

#include "sim/store.h"

namespace installer_test {

inline constexpr const char* kAdapterId = "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01";

// Instance identifiers of the present devices whose first hardware identifier is the adapter's.
std::vector<std::string> presentAdapters(sim::Store& store);
std::vector<std::string> presentDevices(sim::Store& store);
void setHardwareIds(sim::Store& store, const std::string& instanceId, const std::vector<std::string>& ids);
// The "ControlFlags" of the device's zero-configuration interface key; nullopt when unreadable.
std::optional<std::uint32_t> controlFlags(sim::Store& store, const std::string& instanceId);
void setControlFlags(sim::Store& store, const std::string& instanceId, std::uint32_t flags);

}  // namespace installer_test
