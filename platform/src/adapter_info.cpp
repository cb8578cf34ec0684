// The adapter information list: the present, enabled network cards with the addresses they have.
// A card set to DHCP has the lease its client holds; a card with a fixed address has what the
// system's TCP/IP settings for it say, read from the place each system keeps them.

#include <optional>

#include "machine_connection.h"
#include "platform/system_info.h"
#include "sim/device_store.h"
#include "sim/machine.h"
#include "sim/net_card.h"
#include "sim/registry_store.h"
#include "vessra/common/bytes.h"
#include "vessra/common/text.h"

namespace platform::system {

namespace {

namespace reg = sim::reg;

struct FixedSettings {
    bool dhcp = true;
    std::vector<std::string> addresses;
    std::vector<std::string> masks;
    std::vector<std::string> gateways;
};

std::optional<reg::KeyId> machineKey(sim::Store& store, const std::string& path) {
    const auto root = reg::hiveRoot(store, reg::Hive::LocalMachine);
    return root ? reg::findKey(store, *root, path) : std::nullopt;
}

std::vector<std::string> readStrings(sim::Store& store, reg::KeyId key, std::string_view name) {
    const auto value = reg::readValue(store, key, name);
    if (!value)
        return {};
    std::vector<std::string> strings;
    if (value->type == reg::kTypeMultiString) {
        strings = reg::splitMultiString(value->data);
    } else {
        std::string text(value->data.begin(), value->data.end());
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        strings.push_back(text);
    }
    std::erase_if(strings, [](const std::string& text) { return text.empty(); });
    return strings;
}

std::optional<std::uint32_t> readDword(sim::Store& store, reg::KeyId key, std::string_view name) {
    const auto value = reg::readValue(store, key, name);
    if (!value || value->type != reg::kTypeDword || value->data.size() != 4)
        return std::nullopt;
    return vessra::readLe32(value->data, 0);
}

// Where the system keeps the card's TCP/IP settings (Windows 2000/XP, NT 4.0, the 9x family).
std::optional<reg::KeyId> tcpipKeyOf(sim::Store& store, sim::SystemKind kind, const sim::dev::Device& device,
                                     std::string& interfaceName) {
    if (kind == sim::SystemKind::WindowsNT4 || kind == sim::SystemKind::WindowsNT4Sp5) {
        return machineKey(store,
                          "SYSTEM\\CurrentControlSet\\Services\\" + device.service + "\\Parameters\\Tcpip");
    }
    if (sim::isNtFamily(kind)) {
        const auto driverKey =
            machineKey(store, "SYSTEM\\CurrentControlSet\\Control\\Class\\" + device.driver);
        if (!driverKey)
            return std::nullopt;
        const auto names = readStrings(store, *driverKey, "NetCfgInstanceId");
        if (names.empty())
            return std::nullopt;
        interfaceName = names.front();
        return machineKey(
            store, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + interfaceName);
    }
    const auto bindings = machineKey(store, "Enum\\" + device.instanceId + "\\Bindings");
    if (!bindings)
        return std::nullopt;
    for (const auto& value : reg::values(store, *bindings)) {
        if (vessra::asciiLower(value.name).find("mstcp") == std::string::npos)
            continue;
        const auto network = machineKey(store, "Enum\\Network\\" + value.name);
        if (!network)
            return std::nullopt;
        const auto driver = readStrings(store, *network, "Driver");
        if (driver.empty())
            return std::nullopt;
        return machineKey(store, "System\\CurrentControlSet\\Services\\Class\\" + driver.front());
    }
    return std::nullopt;
}

FixedSettings readSettings(sim::Store& store, sim::SystemKind kind, reg::KeyId key) {
    FixedSettings settings;
    if (sim::isNtFamily(kind)) {
        settings.dhcp = readDword(store, key, "EnableDHCP").value_or(1) != 0;
        settings.masks = readStrings(store, key, "SubnetMask");
    } else {
        const auto addresses = readStrings(store, key, "IPAddress");
        settings.dhcp = addresses.empty() || addresses.front() == "0.0.0.0";
        settings.masks = readStrings(store, key, "IPMask");
    }
    settings.addresses = readStrings(store, key, "IPAddress");
    settings.gateways = readStrings(store, key, "DefaultGateway");
    return settings;
}

AdapterInfo describe(sim::Store& store, sim::SystemKind kind, const sim::dev::Device& device,
                     const sim::net::NetCard& card) {
    AdapterInfo info;
    info.description = device.description;
    info.name = device.service;
    vessra::Bytes mac;
    if (vessra::parseHex(card.mac, mac) && mac.size() == info.hardwareAddress.size()) {
        std::copy(mac.begin(), mac.end(), info.hardwareAddress.begin());
    }
    std::string interfaceName;
    const auto key = tcpipKeyOf(store, kind, device, interfaceName);
    if (!interfaceName.empty())
        info.name = interfaceName;
    const FixedSettings settings = key ? readSettings(store, kind, *key) : FixedSettings{};
    info.dhcpEnabled = settings.dhcp;
    if (settings.dhcp) {
        if (!card.lease.ip.empty()) {
            info.ipAddresses.push_back({card.lease.ip, card.lease.mask});
            if (!card.lease.gateway.empty())
                info.gateways.push_back(card.lease.gateway);
            info.dhcpServer = card.lease.dhcpServer;
        }
    } else {
        for (std::size_t i = 0; i < settings.addresses.size(); ++i) {
            info.ipAddresses.push_back(
                {settings.addresses[i], i < settings.masks.size() ? settings.masks[i] : "0.0.0.0"});
        }
        info.gateways = settings.gateways;
    }
    if (info.ipAddresses.empty())
        info.ipAddresses.push_back({"0.0.0.0", "0.0.0.0"});
    return info;
}

}  // namespace

Error adaptersInfo(std::vector<AdapterInfo>& out) {
    return detail::guarded([&](sim::Store& store) {
        const auto kind = sim::machineSystem(store);
        if (!kind)
            return Error::InternalError;
        std::vector<AdapterInfo> list;
        for (const auto& device : sim::dev::presentDevices(store)) {
            if (!device.enabled || !vessra::equalsIgnoreAsciiCase(device.classGuid, sim::dev::kNetClassGuid))
                continue;
            const auto card = sim::net::cardOfDevice(store, device.id);
            if (card)
                list.push_back(describe(store, *kind, device, *card));
        }
        out = std::move(list);
        return Error::Success;
    });
}

}  // namespace platform::system
