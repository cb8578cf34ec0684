#include "machine_layouts.h"

#include <cstdio>

#include "sim/device_store.h"
#include "sim/driver_parameters.h"
#include "sim/registry_store.h"
#include "sim/service_store.h"
#include "vessra/common/bytes.h"

namespace sim::layout {

namespace {

using reg::KeyId;

bool isNt5(SystemKind kind) {
    return kind == SystemKind::WindowsXP || kind == SystemKind::Windows2000 ||
           kind == SystemKind::WindowsServer2003;
}
bool isNt4(SystemKind kind) {
    return kind == SystemKind::WindowsNT4 || kind == SystemKind::WindowsNT4Sp5;
}

std::string fourDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", number);
    return text;
}

std::string twoDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

KeyId machineKey(Store& store, std::string_view path) {
    return reg::createKey(store, reg::ensureHive(store, reg::Hive::LocalMachine), path);
}

std::vector<std::uint8_t> addressBytes(const std::string& dotted) {
    std::vector<std::uint8_t> bytes;
    unsigned parts[4] = {0, 0, 0, 0};
    if (std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]) == 4) {
        for (unsigned part : parts) bytes.push_back(static_cast<std::uint8_t>(part));
    }
    return bytes;
}

// The adapter's driver key gets the values of a fresh installation; other cards' drivers read none.
void writeDriverParameters(Store& store, KeyId driverKey, const CardModel& card) {
    if (card.isAdapter)
        sim::driver::writeDefaultParameters(store, driverKey);
}

// Windows 2000/XP: the class driver key, the TCP/IP interface and (XP) the zero-configuration interface.
std::string installNt5Records(Store& store, SystemKind kind, const CardModel& card, int position) {
    const std::string instance = fourDigits(position);
    const KeyId driverKey = machineKey(store, "SYSTEM\\CurrentControlSet\\Control\\Class\\" +
                                                  std::string(dev::kNetClassGuid) + "\\" + instance);
    reg::setString(store, driverKey, "DriverDesc", card.description);
    reg::setString(store, driverKey, "NetCfgInstanceId", card.interfaceGuid);
    reg::setString(store, driverKey, "MatchingDeviceId", card.hardwareIds.front());
    reg::setString(store, driverKey, "ProviderName", card.isAdapter ? "Vessra" : "Microsoft");
    writeDriverParameters(store, driverKey, card);

    const KeyId tcpip = machineKey(
        store, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + card.interfaceGuid);
    reg::setDword(store, tcpip, "EnableDHCP", card.dhcp ? 1 : 0);
    if (card.dhcp) {
        reg::setMultiString(store, tcpip, "IPAddress", {"0.0.0.0"});
        reg::setMultiString(store, tcpip, "SubnetMask", {"0.0.0.0"});
        reg::setMultiString(store, tcpip, "DefaultGateway", {});
        reg::setString(store, tcpip, "DhcpIPAddress", card.lease.ip);
        reg::setString(store, tcpip, "DhcpSubnetMask", card.lease.mask);
        reg::setMultiString(store, tcpip, "DhcpDefaultGateway", {card.lease.gateway});
        reg::setString(store, tcpip, "DhcpServer", card.lease.dhcpServer);
    } else {
        reg::setMultiString(store, tcpip, "IPAddress", {card.staticIp});
        reg::setMultiString(store, tcpip, "SubnetMask", {"255.255.255.0"});
        reg::setMultiString(store, tcpip, "DefaultGateway", {});
    }
    reg::setString(store, tcpip, "NameServer", "");

    if (kind == SystemKind::WindowsXP && card.isAdapter) {
        const KeyId zeroConfig =
            machineKey(store, "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + card.interfaceGuid);
        reg::setDword(store, zeroConfig, "ControlFlags", 0x00918002);
    }
    return std::string(dev::kNetClassGuid) + "\\" + instance;
}

// Windows 9x family: the Net class key, the PCI enumerator entry with its MSTCP binding, the bound
// TCP/IP instance and the DHCP client's record of the card.
std::string install9xRecords(Store& store, const CardModel& card, const std::string& instanceId,
                             int position) {
    const std::string instance = fourDigits(position);
    const KeyId driverKey = machineKey(store, "System\\CurrentControlSet\\Services\\Class\\Net\\" + instance);
    reg::setString(store, driverKey, "DriverDesc", card.description);
    writeDriverParameters(store, driverKey, card);

    const KeyId enumKey = machineKey(store, "Enum\\" + instanceId);
    reg::setString(store, enumKey, "DeviceDesc", card.description);
    std::string hardwareIdList;
    for (const auto& id : card.hardwareIds) hardwareIdList += (hardwareIdList.empty() ? "" : ",") + id;
    reg::setString(store, enumKey, "HardwareID", hardwareIdList);
    reg::setString(store, enumKey, "Class", "Net");
    reg::setString(store, enumKey, "Driver", "Net\\" + instance);
    const KeyId bindings = reg::createKey(store, enumKey, "Bindings");
    reg::setString(store, bindings, "MSTCP\\" + instance, "");

    const KeyId network = machineKey(store, "Enum\\Network\\MSTCP\\" + instance);
    reg::setString(store, network, "DeviceDesc", "TCP/IP");
    reg::setString(store, network, "Driver", "NetTrans\\" + instance);

    const KeyId netTrans =
        machineKey(store, "System\\CurrentControlSet\\Services\\Class\\NetTrans\\" + instance);
    reg::setString(store, netTrans, "DriverDesc", "TCP/IP");
    reg::setString(store, netTrans, "IPAddress", card.dhcp ? "0.0.0.0" : card.staticIp);
    reg::setString(store, netTrans, "IPMask", card.dhcp ? "0.0.0.0" : "255.255.255.0");
    reg::setString(store, netTrans, "DefaultGateway", "");

    if (card.dhcp) {
        const KeyId dhcpInfo = machineKey(
            store, "System\\CurrentControlSet\\Services\\VxD\\DHCP\\DhcpInfo" + twoDigits(position));
        vessra::Bytes mac;
        vessra::parseHex(card.mac, mac);
        reg::writeValue(store, dhcpInfo, "HardwareAddress", reg::kTypeBinary, mac);
        reg::writeValue(store, dhcpInfo, "DhcpServer", reg::kTypeBinary, addressBytes(card.lease.dhcpServer));
    }
    return "Net\\" + instance;
}

// Windows NT 4.0: the network card entry and the driver service with its Parameters and Tcpip keys.
void installNt4Records(Store& store, const CardModel& card, const std::string& serviceName, int position) {
    const KeyId cardKey =
        machineKey(store, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\" +
                              std::to_string(position + 1));
    reg::setString(store, cardKey, "Description", card.description);
    reg::setString(store, cardKey, "ServiceName", serviceName);
    reg::setString(store, cardKey, "Title", "[" + std::to_string(position + 1) + "] " + card.description);

    const KeyId serviceKey = machineKey(store, "SYSTEM\\CurrentControlSet\\Services\\" + serviceName);
    reg::setDword(store, serviceKey, "Start", 2);
    reg::setDword(store, serviceKey, "Type", 4);
    const KeyId driverKey = reg::createKey(store, serviceKey, "Parameters");
    reg::setDword(store, driverKey, "BusNumber", 2);
    writeDriverParameters(store, driverKey, card);
    const KeyId tcpip = reg::createKey(store, driverKey, "Tcpip");
    reg::setDword(store, tcpip, "EnableDHCP", card.dhcp ? 1 : 0);
    reg::setMultiString(store, tcpip, "IPAddress", {card.dhcp ? "0.0.0.0" : card.staticIp});
    reg::setMultiString(store, tcpip, "SubnetMask", {card.dhcp ? "0.0.0.0" : "255.255.255.0"});
    reg::setMultiString(store, tcpip, "DefaultGateway", {""});
    if (card.dhcp) {
        reg::setString(store, tcpip, "DhcpIPAddress", card.lease.ip);
        reg::setString(store, tcpip, "DhcpSubnetMask", card.lease.mask);
        reg::setString(store, tcpip, "DhcpDefaultGateway", card.lease.gateway);
        reg::setString(store, tcpip, "DhcpServer", card.lease.dhcpServer);
    }
}

}  // namespace

CardModel wiredCard() {
    CardModel card;
    card.description = "Intel(R) PRO/100 VE Network Connection";
    card.hardwareIds = {"PCI\\VEN_8086&DEV_103D&SUBSYS_00011179&REV_81",
                        "PCI\\VEN_8086&DEV_103D&SUBSYS_00011179", "PCI\\VEN_8086&DEV_103D&CC_020000",
                        "PCI\\VEN_8086&DEV_103D&CC_0200"};
    card.nt5InstanceSuffix = "3&61AAA01&0&40";
    card.w9xInstanceSuffix = "BUS_00&DEV_08&FUNC_00";
    card.serviceName = "E100B";
    card.nt4ServiceName = "E100B1";
    card.interfaceGuid = "{6E1C2B0A-53D1-4C8E-9F0B-2A7D31C6B410}";
    card.mac = "0000F0A1B2C3";
    card.dhcp = false;
    card.staticIp = "10.0.0.20";
    return card;
}

CardModel adapterCard(int ordinal) {
    CardModel card;
    card.description = "Vessra 802.11a/b Wireless LAN Mini PCI Adapter";
    card.hardwareIds = {std::string(dev::kAdapterHardwareId), "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21",
                        "PCI\\VEN_168C&DEV_0012&CC_020000", "PCI\\VEN_168C&DEV_0012&CC_0200"};
    const int slot = 0x10 + 8 * (ordinal - 1);
    char text[64];
    std::snprintf(text, sizeof text, "4&1F7DBC9F&0&%02XF0", slot);
    card.nt5InstanceSuffix = text;
    std::snprintf(text, sizeof text, "BUS_02&DEV_%02X&FUNC_00", 0x0F + ordinal - 1);
    card.w9xInstanceSuffix = text;
    card.serviceName = ordinal == 1 ? "VESSRA" : "VESSRA" + std::to_string(ordinal);
    card.nt4ServiceName = "Vessra" + std::to_string(ordinal);
    std::snprintf(text, sizeof text, "{8A4F0C3E-7B21-4D5A-A1C6-3E9B5D2F70%02X}", 0xA0 + ordinal);
    card.interfaceGuid = text;
    std::snprintf(text, sizeof text, "000B6B4D2A%02X", 0x16 + ordinal);
    card.mac = text;
    card.lease = net::Lease{"192.168.11." + std::to_string(4 + ordinal), "255.255.255.0", "192.168.11.1",
                            "192.168.11.1"};
    card.isAdapter = true;
    return card;
}

std::string installCard(Store& store, SystemKind kind, const CardModel& card,
                        const CardPlacement& placement) {
    Store::Transaction transaction(store);
    dev::Device device;
    device.classGuid = dev::kNetClassGuid;
    device.description = card.description;
    device.hardwareIds = card.hardwareIds;
    device.present = placement.present;
    device.enabled = placement.enabled;
    device.service = card.serviceName;
    if (isNtFamily(kind)) {
        device.instanceId = card.hardwareIds.front() + "\\" + card.nt5InstanceSuffix;
    } else {
        device.instanceId = card.hardwareIds.front() + "\\" + card.w9xInstanceSuffix;
    }
    if (isNt5(kind)) {
        device.driver = installNt5Records(store, kind, card, placement.position);
    } else if (isNt4(kind)) {
        device.service = card.nt4ServiceName;
        installNt4Records(store, card, device.service, placement.position);
    } else {
        device.driver = install9xRecords(store, card, device.instanceId, placement.position);
    }
    const std::int64_t id = dev::addDevice(store, device);
    net::addCard(store, net::NetCard{id, card.mac, card.dhcp ? card.lease : net::Lease{}});
    transaction.commit();
    return device.instanceId;
}

void writeSystemKeys(Store& store, SystemKind kind) {
    const SystemVersion version = systemVersion(kind);
    const std::string computerName = store.setting(kComputerNameSetting).value_or("");
    const std::string versionText = std::to_string(version.major) + "." + std::to_string(version.minor);
    if (isNtFamily(kind)) {
        const KeyId current = machineKey(store, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
        reg::setString(store, current, "CurrentVersion", versionText);
        reg::setString(store, current, "CurrentBuildNumber", std::to_string(version.build));
        reg::setString(store, current, "CSDVersion", version.servicePack);
        reg::setString(store,
                       machineKey(store, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName"),
                       "ComputerName", computerName);
    } else {
        const KeyId current = machineKey(store, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
        reg::setString(store, current, "VersionNumber", versionText + "." + std::to_string(version.build));
        reg::setString(store, current, "SubVersionNumber", version.servicePack);
        reg::setString(store,
                       machineKey(store, "System\\CurrentControlSet\\control\\ComputerName\\ComputerName"),
                       "ComputerName", computerName);
        const KeyId mstcp = machineKey(store, "System\\CurrentControlSet\\Services\\VxD\\MSTCP");
        reg::setString(store, mstcp, "EnableDNS", "0");
        reg::setString(store, mstcp, "NameServer", "");
        reg::setString(store, mstcp, "HostName", "");
    }
}

void addSystemServices(Store& store, SystemKind kind) {
    if (kind == SystemKind::WindowsXP) {
        svc::addService(store, "WZCSVC", "Wireless Zero Configuration", svc::State::Running);
    }
}

void writeProductEntry(Store& store) {
    const KeyId entry = machineKey(store, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vessra");
    reg::setString(store, entry, "DisplayName", "Vessra Wireless LAN");
    reg::setString(store, entry, "UninstallString", "sennet.exe -uninstall");
}

}  // namespace sim::layout
