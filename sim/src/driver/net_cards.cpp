// The network cards of a machine as the adapter access library delivers them: one record per
// numbered card key, in number order, present or not, with the naming rules of each system family.

#include <cstdio>

#include "sim/device_store.h"
#include "sim/driver.h"
#include "sim/machine.h"
#include "vessra/common/bytes.h"
#include "vessra/common/text.h"

namespace sim::driver {

namespace {

constexpr std::string_view kNtClassPath =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
constexpr std::string_view k9xClassPath = "System\\CurrentControlSet\\Services\\Class\\Net";
constexpr std::string_view kNt4CardsPath = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr std::string_view kNt4ServicesPath = "SYSTEM\\CurrentControlSet\\Services";
constexpr std::string_view kDevicePrefix = "\\Device\\";

enum class Family { Nt, Nt4, Win9x };

Family familyOf(Store& store) {
    const auto system = machineSystem(store).value_or(SystemKind::WindowsXP);
    if (system == SystemKind::WindowsNT4 || system == SystemKind::WindowsNT4Sp5)
        return Family::Nt4;
    return isNtFamily(system) ? Family::Nt : Family::Win9x;
}

std::string fourDigits(std::size_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "%04zu", number);
    return text;
}

std::string textValue(Store& store, reg::KeyId key, std::string_view name) {
    const auto value = reg::readValue(store, key, name);
    return value ? vessra::readCString(value->data, 0) : std::string();
}

const dev::Device* deviceWhere(const std::vector<dev::Device>& devices, bool byService,
                               std::string_view wanted) {
    for (const dev::Device& device : devices) {
        const std::string& field = byService ? device.service : device.driver;
        if (!wanted.empty() && vessra::equalsIgnoreAsciiCase(field, wanted))
            return &device;
    }
    return nullptr;
}

// Cards under a class key with dense four-digit subkeys (2000/XP and 98 SE/Me).
std::vector<NetCard> classCards(Store& store, reg::KeyId root, Family family) {
    const auto devices = dev::allDevices(store);
    const auto classKey = reg::findKey(store, root, family == Family::Nt ? kNtClassPath : k9xClassPath);
    std::vector<NetCard> cards;
    for (std::size_t number = 0; classKey; ++number) {
        const auto key = reg::findKey(store, *classKey, fourDigits(number));
        if (!key)
            break;
        const std::string driver = family == Family::Nt
                                       ? std::string(dev::kNetClassGuid) + "\\" + fourDigits(number)
                                       : "Net\\" + fourDigits(number);
        const dev::Device* device = deviceWhere(devices, false, driver);
        NetCard card;
        card.position = number;
        card.description = textValue(store, *key, "DriverDesc");
        card.name = family == Family::Nt ? textValue(store, *key, "NetCfgInstanceId")
                                         : (device ? device->service : "");
        card.driverKey = key;
        if (device)
            card.deviceInstanceId = device->instanceId;
        cards.push_back(std::move(card));
    }
    return cards;
}

std::vector<NetCard> nt4Cards(Store& store, reg::KeyId root) {
    const auto devices = dev::allDevices(store);
    const auto cardsKey = reg::findKey(store, root, kNt4CardsPath);
    std::vector<NetCard> cards;
    for (std::size_t number = 1; cardsKey; ++number) {
        const auto key = reg::findKey(store, *cardsKey, std::to_string(number));
        if (!key)
            break;
        NetCard card;
        card.position = number - 1;
        card.description = textValue(store, *key, "Description");
        card.name = textValue(store, *key, "ServiceName");
        if (!card.name.empty()) {
            card.driverKey =
                reg::findKey(store, root, std::string(kNt4ServicesPath) + "\\" + card.name + "\\Parameters");
        }
        if (const dev::Device* device = deviceWhere(devices, true, card.name))
            card.deviceInstanceId = device->instanceId;
        cards.push_back(std::move(card));
    }
    return cards;
}

}  // namespace

std::vector<NetCard> netCards(Store& store) {
    const auto root = reg::hiveRoot(store, reg::Hive::LocalMachine);
    if (!root)
        return {};
    const Family family = familyOf(store);
    return family == Family::Nt4 ? nt4Cards(store, *root) : classCards(store, *root, family);
}

std::string netCardRegistryPath(Store& store) {
    switch (familyOf(store)) {
        case Family::Nt:
            return std::string(kNtClassPath);
        case Family::Win9x:
            return std::string(k9xClassPath);
        case Family::Nt4:
            return std::string(kNt4ServicesPath);
    }
    return {};
}

std::optional<NetCard> cardForDeviceName(Store& store, std::string_view deviceName) {
    const Family family = familyOf(store);
    for (NetCard& card : netCards(store)) {
        if (family == Family::Win9x) {
            if (deviceName == fourDigits(card.position))
                return std::move(card);
            continue;
        }
        if (deviceName.size() <= kDevicePrefix.size() ||
            !vessra::equalsIgnoreAsciiCase(deviceName.substr(0, kDevicePrefix.size()), kDevicePrefix)) {
            return std::nullopt;
        }
        if (!card.name.empty() &&
            vessra::equalsIgnoreAsciiCase(deviceName.substr(kDevicePrefix.size()), card.name)) {
            return std::move(card);
        }
    }
    return std::nullopt;
}

Status cardAvailable(Store& store, const NetCard& card) {
    if (card.deviceInstanceId.empty())
        return Status::DeviceNotConnected;
    const auto device = dev::findDevice(store, card.deviceInstanceId);
    if (!device || !device->present || !device->enabled)
        return Status::DeviceNotConnected;
    return Status::Success;
}

}  // namespace sim::driver
