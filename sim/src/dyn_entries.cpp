// The dynamic registry of the Windows 9x family: the configuration manager lists every device node
// that is in the machine under HKEY_DYN_DATA\Config Manager\Enum, with the node's Enum path in
// "HardWareKey" and its problem number in "Problem". These entries follow the device rows.

#include <cstdio>

#include "sim/device_store.h"
#include "sim/registry_store.h"
#include "vessra/common/bytes.h"

namespace sim::dev {

namespace {

// The subkey name stands for the node's address in the configuration manager: eight hex digits.
std::string entryName(std::int64_t deviceId) {
    char text[16];
    std::snprintf(text, sizeof text, "C29A%04X", static_cast<unsigned>(0x3F00 + deviceId * 0x20) & 0xFFFFu);
    return text;
}

}  // namespace

void syncDynamicEntries(Store& store) {
    const auto root = reg::hiveRoot(store, reg::Hive::DynData);
    if (!root)
        return;
    Store::Transaction transaction(store);
    const reg::KeyId enumKey = reg::createKey(store, *root, "Config Manager\\Enum");
    for (const Device& device : allDevices(store)) {
        const std::string name = entryName(device.id);
        if (!device.present) {
            if (const auto entry = reg::findKey(store, enumKey, name))
                reg::deleteKey(store, *entry);
            continue;
        }
        const reg::KeyId entry = reg::createKey(store, enumKey, name);
        reg::setString(store, entry, "HardWareKey", device.instanceId);
        reg::writeValue(store, entry, "Problem", reg::kTypeBinary, vessra::dwordBytes(device.problem));
        const std::uint32_t status = device.enabled ? 0x0000600Bu : 0x00006400u;
        reg::writeValue(store, entry, "Status", reg::kTypeBinary, vessra::dwordBytes(status));
    }
    transaction.commit();
}

}  // namespace sim::dev
