#include "zero_config_flag.h"

#include <string>
#include <vector>

#include "device_match.h"
#include "platform/devices.h"
#include "platform/registry.h"
#include "vessra/common/bytes.h"

namespace quillon {

namespace {

namespace devices = platform::devices;
namespace registry = platform::registry;
using platform::succeeded;

constexpr std::string_view kClassKeyPrefix = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr std::string_view kInterfacesKey = "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\";
constexpr std::uint32_t kServedByZeroConfig = 0x8000;

// Finishes the change for the matching device; every early return writes nothing.
void clearForDevice(const devices::DeviceSet& set, const devices::DeviceInfo& device) {
    std::vector<std::uint8_t> driver;
    std::size_t required = 0;
    if (!succeeded(set.registryProperty(device, devices::Property::Driver, 520, driver, required)))
        return;

    registry::Key driverKey;
    if (!succeeded(registry::Key::open(registry::Hive::LocalMachine,
                                       std::string(kClassKeyPrefix) + registry::textOf(driver),
                                       registry::Access::Read, driverKey))) {
        return;
    }
    std::string interfaceName;
    if (!succeeded(driverKey.readString("NetCfgInstanceId", 500, interfaceName)))
        return;

    registry::Key interfaceKey;
    if (!succeeded(registry::Key::open(registry::Hive::LocalMachine,
                                       std::string(kInterfacesKey) + interfaceName, registry::Access::All,
                                       interfaceKey))) {
        return;
    }
    registry::Value flags;
    if (!succeeded(interfaceKey.queryValue("ControlFlags", 4, flags)) || flags.data.size() != 4)
        return;
    interfaceKey.setDword("ControlFlags", vessra::readLe32(flags.data, 0) & ~kServedByZeroConfig);
}

}  // namespace

void clearZeroConfigFlag() {
    devices::DeviceSet set;
    if (!succeeded(devices::DeviceSet::presentOfClass(devices::kNetClassGuid, set)))
        return;
    devices::DeviceInfo device;
    for (std::size_t index = 0; succeeded(set.enumDevice(index, device)); ++index) {
        std::vector<std::uint8_t> hardwareIds;
        if (!succeeded(installer::readHardwareIds(set, device, hardwareIds)))
            continue;
        if (installer::firstStringContains(hardwareIds, installer::kAdapterHardwareId)) {
            clearForDevice(set, device);
            return;  // only the first matching device is handled
        }
    }
}

}  // namespace quillon
