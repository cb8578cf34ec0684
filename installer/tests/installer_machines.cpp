#include "installer_machines.h"

#include "sim/device_store.h"
#include "sim/registry_store.h"
#include "vessra/common/bytes.h"

namespace installer_test {

namespace {

using namespace sim;

std::optional<reg::KeyId> interfaceKey(Store& store, const std::string& instanceId) {
    const auto device = dev::findDevice(store, instanceId);
    const auto root = reg::hiveRoot(store, reg::Hive::LocalMachine);
    if (!device || !root)
        return std::nullopt;
    const auto driverKey =
        reg::findKey(store, *root, "SYSTEM\\CurrentControlSet\\Control\\Class\\" + device->driver);
    const auto name = driverKey ? reg::readValue(store, *driverKey, "NetCfgInstanceId") : std::nullopt;
    if (!name)
        return std::nullopt;
    const std::string interfaceName(name->data.begin(), name->data.end() - 1);
    return reg::findKey(store, *root,
                        "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + interfaceName);
}

}  // namespace

std::vector<std::string> presentAdapters(Store& store) {
    std::vector<std::string> adapters;
    for (const auto& device : dev::presentDevices(store)) {
        if (!device.hardwareIds.empty() && device.hardwareIds.front() == kAdapterId) {
            adapters.push_back(device.instanceId);
        }
    }
    return adapters;
}

std::vector<std::string> presentDevices(Store& store) {
    std::vector<std::string> ids;
    for (const auto& device : dev::presentDevices(store)) ids.push_back(device.instanceId);
    return ids;
}

void setHardwareIds(Store& store, const std::string& instanceId, const std::vector<std::string>& ids) {
    store.prepare("UPDATE device SET hardware_ids = ? WHERE instance_id = ?")
        .bindBlob(1, reg::multiStringData(ids))
        .bind(2, instanceId)
        .run();
}

std::optional<std::uint32_t> controlFlags(Store& store, const std::string& instanceId) {
    const auto key = interfaceKey(store, instanceId);
    const auto value = key ? reg::readValue(store, *key, "ControlFlags") : std::nullopt;
    if (!value || value->data.size() != 4)
        return std::nullopt;
    return vessra::readLe32(value->data, 0);
}

void setControlFlags(Store& store, const std::string& instanceId, std::uint32_t flags) {
    const auto key = interfaceKey(store, instanceId);
    if (!key)
        throw StoreError("the device has no zero-configuration interface key");
    reg::setDword(store, *key, "ControlFlags", flags);
}

}  // namespace installer_test
