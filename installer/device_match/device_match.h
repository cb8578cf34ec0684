#pragma once
// How the installer tools recognise the adapter among the machine's devices.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/devices.h"

namespace installer {

// The installer tools match the whole identifier, revision included.
inline constexpr std::string_view kAdapterHardwareId = "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01";

// Reads the device's hardware-identifier list into a buffer that starts at 520 bytes and doubles
// while the machine says it is too small.
platform::Error readHardwareIds(const platform::devices::DeviceSet& set,
                                const platform::devices::DeviceInfo& device, std::vector<std::uint8_t>& out);

// True when the first string of a multi-string list contains `id` (case-sensitive substring).
bool firstStringContains(std::span<const std::uint8_t> list, std::string_view id);

}  // namespace installer
