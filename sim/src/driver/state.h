#pragma once
// Inside the driver: its state per device instance, kept in the store between requests.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "sim/driver_parameters.h"
#include "sim/store.h"

namespace sim::driver {

struct DriverState {
    std::int64_t startsSeen = -1;  // the device's start count the settings were read at
    bool radioOn = true;           // the software radio (OID_VENDOR_RADIO)
    StationSettings settings;
    std::vector<std::uint8_t> bssid;  // the joined network; empty when not associated
    std::int64_t linkSinceMs = 0;     // when the current association began
    std::uint64_t txFrames = 0;       // frame counters up to linkSinceMs
    std::uint64_t rxFrames = 0;
};

std::optional<DriverState> loadState(Store& store, std::string_view instanceId);
void saveState(Store& store, std::string_view instanceId, const DriverState& state);

}  // namespace sim::driver
