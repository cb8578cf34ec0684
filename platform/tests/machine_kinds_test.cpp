// Every ready-made system kind answers the start-up questions (version, adapter presence, the
// registry places the suite reads) the way a real installation of that kind does.

#include <gtest/gtest.h>

#include "platform/devices.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/system_info.h"
#include "platform/tovrin.h"
#include "platform/wmi_events.h"
#include "testsupport/scratch_machine.h"

namespace platform {
namespace {

using registry::Hive;
using registry::Key;
using sim::AdapterSetup;
using sim::SystemKind;

enum class Family { Nt5, W9x, Nt4 };
enum class Presence { Absent, Disabled, Present };

struct KindCase {
    SystemKind kind;
    Family family;
    int osKind;  // 0 XP, 1 2000, 2 Me, 3 98 SE, 4 NT 4.0 SP6, 5 unsupported
    bool zeroConfig;
    bool wmi;
};

const KindCase kKinds[] = {
    {SystemKind::WindowsXP, Family::Nt5, 0, true, true},
    {SystemKind::Windows2000, Family::Nt5, 1, false, true},
    {SystemKind::WindowsMe, Family::W9x, 2, false, true},
    {SystemKind::Windows98SE, Family::W9x, 3, false, false},
    {SystemKind::WindowsNT4, Family::Nt4, 4, false, true},
    {SystemKind::Windows95, Family::W9x, 5, false, false},
    {SystemKind::Windows98, Family::W9x, 5, false, false},
    {SystemKind::WindowsNT4Sp5, Family::Nt4, 5, false, true},
    {SystemKind::WindowsServer2003, Family::Nt5, 5, false, true},
};

// The classification rule the utility applies to the version record.
int classify(const system::VersionInfo& version) {
    const bool nt = version.platform == system::Platform::NT;
    if (nt && version.major == 5 && version.minor == 1)
        return 0;
    if (nt && version.major == 5 && version.minor == 0)
        return 1;
    if (!nt && version.major == 4 && version.minor == 90)
        return 2;
    if (!nt && version.major == 4 && version.minor == 10 && version.servicePack.size() > 1 &&
        version.servicePack[1] == 'A') {
        return 3;
    }
    if (nt && version.major <= 4 && version.servicePack == "Service Pack 6")
        return 4;
    return 5;
}

constexpr std::string_view kPrefix = "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21";

// NT 5: present network devices whose instance id begins with the prefix, judged by their status.
Presence presenceOnNt5() {
    devices::DeviceSet set;
    EXPECT_EQ(devices::DeviceSet::presentOfClass(devices::kNetClassGuid, set), Error::Success);
    devices::DeviceInfo info;
    for (std::size_t i = 0; set.enumDevice(i, info) == Error::Success; ++i) {
        std::string id;
        EXPECT_EQ(set.instanceId(info, id), Error::Success);
        if (!id.starts_with(kPrefix))
            continue;
        std::uint32_t status = 0, problem = 0;
        if (My_CM_Get_DevNode_Status(&status, &problem, info.devInst, 0) == 0)
            continue;
        if ((status & 0x400) == 0)
            return Presence::Present;
        if (problem == 22)
            return Presence::Disabled;
    }
    return Presence::Absent;
}

// Windows 9x: the dynamic registry's device entries.
Presence presenceOn9x() {
    Key enumKey;
    EXPECT_EQ(Key::open(Hive::DynData, "Config Manager\\Enum", registry::Access::All, enumKey),
              Error::Success);
    std::string name;
    for (std::size_t i = 0; enumKey.subkeyAt(i, name) == Error::Success; ++i) {
        EXPECT_LE(name.size(), 9u);
        Key entry;
        EXPECT_EQ(enumKey.openSub(name, registry::Access::Read, entry), Error::Success);
        std::string hardwareKey;
        if (entry.readString("HardWareKey", 128, hardwareKey) != Error::Success)
            continue;
        if (hardwareKey.find("PCI\\VEN_168C") == std::string::npos)
            continue;
        registry::Value problem;
        if (entry.queryValue("Problem", 32, problem) != Error::Success || problem.data.empty())
            continue;
        if (problem.data[0] == 22)
            return Presence::Disabled;
        if (problem.data[0] == 0)
            return Presence::Present;
    }
    return Presence::Absent;
}

// NT 4.0: the network card list names the adapter's service; the card opens when its device works.
Presence presenceOnNt4() {
    Key card;
    if (Key::open(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\2",
                  registry::Access::Read, card) != Error::Success) {
        return Presence::Absent;
    }
    std::string description, service;
    EXPECT_EQ(card.readString("Description", 256, description), Error::Success);
    EXPECT_NE(description.find("Vessra"), std::string::npos);
    EXPECT_EQ(card.readString("ServiceName", 256, service), Error::Success);
    EXPECT_EQ(service, "Vessra1");
    Key tcpip;
    EXPECT_EQ(Key::open(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Vessra1\\Parameters\\Tcpip",
                        registry::Access::Read, tcpip),
              Error::Success);
    devices::DevInst node = 0;
    const std::string id = std::string(kPrefix) + "&REV_01\\4&1F7DBC9F&0&10F0";
    if (devices::locateDevNode(&node, id.c_str(), devices::kLocateNormal) != devices::ConfigResult::Success) {
        return Presence::Absent;
    }
    std::uint32_t status = 0, problem = 0;
    EXPECT_EQ(devices::devNodeStatus(node, status, problem), devices::ConfigResult::Success);
    return problem == 22 ? Presence::Disabled : Presence::Present;
}

Presence presence(Family family) {
    switch (family) {
        case Family::Nt5:
            return presenceOnNt5();
        case Family::W9x:
            return presenceOn9x();
        case Family::Nt4:
            return presenceOnNt4();
    }
    return Presence::Absent;
}

std::string readText(std::string_view path, std::string_view name) {
    Key key;
    if (Key::open(Hive::LocalMachine, path, registry::Access::Read, key) != Error::Success)
        return "<no key>";
    std::string text;
    return key.readString(name, 500, text) == Error::Success ? text : "<no value>";
}

// The registry places the utility reads on NT 5: driver key with its interface, TCP/IP interface,
// zero-configuration interface (XP only).
void checkNt5Records(const KindCase& kind) {
    const std::string classKey =
        "SYSTEM\\CurrentControlSet\\Control\\Class\\" + std::string(devices::kNetClassGuid);
    EXPECT_NE(readText(classKey + "\\0001", "DriverDesc").find("Vessra"), std::string::npos);
    EXPECT_EQ(readText(classKey + "\\0000", "DriverDesc").find("Vessra"), std::string::npos);
    const std::string interface = readText(classKey + "\\0001", "NetCfgInstanceId");
    ASSERT_TRUE(interface.starts_with("{")) << interface;
    Key tcpip;
    ASSERT_EQ(Key::open(Hive::LocalMachine,
                        "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + interface,
                        registry::Access::Read, tcpip),
              Error::Success);
    std::uint32_t dhcp = 0;
    EXPECT_EQ(tcpip.readDword("EnableDHCP", dhcp), Error::Success);
    EXPECT_EQ(dhcp, 1u);
    Key zeroConfig;
    const Error opened =
        Key::open(Hive::LocalMachine, "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + interface,
                  registry::Access::Read, zeroConfig);
    EXPECT_EQ(opened == Error::Success, kind.zeroConfig);
    if (kind.zeroConfig) {
        std::uint32_t flags = 0;
        EXPECT_EQ(zeroConfig.readDword("ControlFlags", flags), Error::Success);
        EXPECT_EQ(flags, 0x00918002u);
    }
}

// The 98 SE/Me search: the adapter's PCI entry binds MSTCP, whose Driver names the TCP/IP key.
void check9xRecords() {
    Key adapterEnum;
    ASSERT_EQ(Key::open(Hive::LocalMachine, "Enum\\PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01",
                        registry::Access::Read, adapterEnum),
              Error::Success);
    std::string instance;
    ASSERT_EQ(adapterEnum.subkeyAt(0, instance), Error::Success);
    Key bindings;
    ASSERT_EQ(adapterEnum.openSub(instance + "\\Bindings", registry::Access::Read, bindings), Error::Success);
    registry::Value binding;
    ASSERT_EQ(bindings.valueAt(0, binding), Error::Success);
    EXPECT_NE(binding.name.find("MSTCP"), std::string::npos);
    const std::string driver = readText("Enum\\Network\\" + binding.name, "Driver");
    EXPECT_EQ(readText("SYSTEM\\CurrentControlSet\\Services\\Class\\" + driver, "IPAddress"), "0.0.0.0");
    EXPECT_EQ(readText("SYSTEM\\CurrentControlSet\\Services\\VxD\\MSTCP", "EnableDNS"), "0");
    EXPECT_NE(readText("System\\CurrentControlSet\\Services\\Class\\Net\\0001", "DriverDesc").find("Vessra"),
              std::string::npos);
}

TEST(MachineKinds, EachKindAnswersVersionPresenceRegistryServiceAndWmiLikeARealOne) {
    for (const KindCase& kind : kKinds) {
        for (const auto& [setup, expected] : {std::pair{AdapterSetup::Present, Presence::Present},
                                              std::pair{AdapterSetup::Disabled, Presence::Disabled},
                                              std::pair{AdapterSetup::Absent, Presence::Absent}}) {
            SCOPED_TRACE(std::string(sim::systemKindName(kind.kind)) + " adapter " +
                         std::to_string(static_cast<int>(setup)));
            testsupport::ScratchMachine machine({kind.kind, setup, true});
            system::VersionInfo version;
            ASSERT_EQ(system::versionInfo(version), Error::Success);
            EXPECT_EQ(classify(version), kind.osKind);
            EXPECT_EQ(presence(kind.family), expected);
            if (kind.family == Family::Nt5)
                checkNt5Records(kind);
            if (kind.family == Family::W9x)
                check9xRecords();

            services::ServiceManager manager;
            const Error managerOpened = services::ServiceManager::open(services::kManagerAllAccess, manager);
            EXPECT_EQ(managerOpened, kind.family == Family::W9x ? Error::CallNotImplemented : Error::Success);
            if (managerOpened == Error::Success) {
                services::Service service;
                EXPECT_EQ(manager.openService("WZCSVC", services::kServiceAllAccess, service),
                          kind.zeroConfig ? Error::Success : Error::ServiceDoesNotExist);
            }
            wmi::Connection connection;
            EXPECT_EQ(wmi::Connection::connect("root\\wmi", connection),
                      kind.wmi ? wmi::Result::Ok : wmi::Result::NoWmi);

            std::string product;
            Key entry;
            ASSERT_EQ(Key::open(Hive::LocalMachine,
                                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vessra",
                                registry::Access::Read, entry),
                      Error::Success);
            EXPECT_EQ(entry.readString("DisplayName", 32, product), Error::Success);
        }
    }
}

TEST(MachineKinds, TheProductEntryIsLeftOutOnRequest) {
    testsupport::ScratchMachine machine({SystemKind::WindowsXP, AdapterSetup::Present, false});
    Key entry;
    EXPECT_EQ(Key::open(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vessra",
                        registry::Access::Read, entry),
              Error::FileNotFound);
}

}  // namespace
}  // namespace platform
