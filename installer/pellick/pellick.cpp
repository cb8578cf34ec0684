#include "pellick.h"

#include <vector>

#include "device_match.h"
#include "platform/devices.h"

extern "C" int FindExistingDevice(void) {
    namespace devices = platform::devices;
    using platform::Error;
    try {
        devices::DeviceSet set;
        if (devices::DeviceSet::allPresent(set) != Error::Success)
            return 1;
        devices::DeviceInfo device;
        Error enumeration = Error::Success;
        for (std::size_t index = 0; (enumeration = set.enumDevice(index, device)) == Error::Success;
             ++index) {
            std::vector<std::uint8_t> hardwareIds;
            if (installer::readHardwareIds(set, device, hardwareIds) != Error::Success)
                continue;
            if (installer::firstStringContains(hardwareIds, installer::kAdapterHardwareId))
                return 1;
        }
        // An enumeration cut short may have missed the adapter: say it is there, so the installer
        // does not proceed as if the machine were clean.
        return enumeration == Error::NoMoreItems ? 0 : 1;
    } catch (...) {
        return 1;  // no exception may cross into a C caller
    }
}
