#include "sim/machine.h"

#include <array>
#include <cstdlib>
#include <utility>

#include "machine_layouts.h"
#include "sim/device_store.h"
#include "sim/hw_events.h"
#include "sim/radio.h"
#include "sim/registry_store.h"
#include "vessra/common/text.h"

namespace sim {

namespace {

constexpr std::array<std::pair<SystemKind, std::string_view>, 9> kSystemNames{{
    {SystemKind::WindowsXP, "xp"},
    {SystemKind::Windows2000, "2000"},
    {SystemKind::WindowsMe, "me"},
    {SystemKind::Windows98SE, "98se"},
    {SystemKind::WindowsNT4, "nt4"},
    {SystemKind::Windows95, "95"},
    {SystemKind::Windows98, "98"},
    {SystemKind::WindowsNT4Sp5, "nt4sp5"},
    {SystemKind::WindowsServer2003, "2003"},
}};

constexpr std::string_view kSystemSetting = "system";

}  // namespace

std::string_view systemKindName(SystemKind kind) {
    for (const auto& [candidate, name] : kSystemNames) {
        if (candidate == kind)
            return name;
    }
    return "?";
}

std::optional<SystemKind> systemKindFromName(std::string_view name) {
    for (const auto& [kind, candidate] : kSystemNames) {
        if (vessra::equalsIgnoreAsciiCase(candidate, name))
            return kind;
    }
    return std::nullopt;
}

std::vector<SystemKind> allSystemKinds() {
    std::vector<SystemKind> kinds;
    for (const auto& entry : kSystemNames) kinds.push_back(entry.first);
    return kinds;
}

bool isNtFamily(SystemKind kind) {
    switch (kind) {
        case SystemKind::WindowsMe:
        case SystemKind::Windows98SE:
        case SystemKind::Windows95:
        case SystemKind::Windows98:
            return false;
        default:
            return true;
    }
}

std::filesystem::path defaultMachineFile() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (dataHome && *dataHome) {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".local" / "share";
    }
    return base / "vessra" / "machine.db";
}

std::filesystem::path resolveMachineFile(const std::optional<std::filesystem::path>& explicitPath) {
    if (explicitPath && !explicitPath->empty())
        return *explicitPath;
    const char* fromEnvironment = std::getenv("SIMHOST_MACHINE");
    if (fromEnvironment && *fromEnvironment)
        return fromEnvironment;
    return defaultMachineFile();
}

bool machineBuilt(Store& store) {
    return store.setting(kSystemSetting).has_value();
}

std::optional<SystemKind> machineSystem(Store& store) {
    const auto name = store.setting(kSystemSetting);
    return name ? systemKindFromName(*name) : std::nullopt;
}

SystemVersion systemVersion(SystemKind kind) {
    switch (kind) {
        case SystemKind::WindowsXP:
            return {true, 5, 1, 2600, "Service Pack 2"};
        case SystemKind::Windows2000:
            return {true, 5, 0, 2195, "Service Pack 4"};
        case SystemKind::WindowsMe:
            return {false, 4, 90, 3000, " "};
        case SystemKind::Windows98SE:
            return {false, 4, 10, 2222, " A "};
        case SystemKind::WindowsNT4:
            return {true, 4, 0, 1381, "Service Pack 6"};
        case SystemKind::Windows95:
            return {false, 4, 0, 950, ""};
        case SystemKind::Windows98:
            return {false, 4, 10, 1998, " "};
        case SystemKind::WindowsNT4Sp5:
            return {true, 4, 0, 1381, "Service Pack 5"};
        case SystemKind::WindowsServer2003:
            return {true, 5, 2, 3790, "Service Pack 1"};
    }
    return {};
}

namespace {

// Only Windows 98 (either edition) and 95 come without WMI; Me has it built in.
bool hasWmiByDefault(SystemKind kind) {
    return kind != SystemKind::Windows98SE && kind != SystemKind::Windows98 && kind != SystemKind::Windows95;
}

int networkCardCount(Store& store) {
    int count = 0;
    for (const auto& device : dev::allDevices(store)) {
        if (vessra::equalsIgnoreAsciiCase(device.classGuid, dev::kNetClassGuid))
            ++count;
    }
    return count;
}

}  // namespace

void buildMachine(Store& store, const MachineSpec& spec) {
    Store::Transaction transaction(store);
    if (machineBuilt(store))
        throw StoreError("the store already holds a machine");
    store.setSetting(kSystemSetting, systemKindName(spec.system));
    store.setSetting(kComputerNameSetting, "VESSRA-PC");
    store.setSetting(kLanguageSetting, "0411");
    events::setWmiAvailable(store, hasWmiByDefault(spec.system));
    store.setSetting(events::kRadioKeySetting, "on");
    reg::ensureHive(store, reg::Hive::LocalMachine);
    if (!isNtFamily(spec.system))
        reg::ensureHive(store, reg::Hive::DynData);
    layout::writeSystemKeys(store, spec.system);
    layout::addSystemServices(store, spec.system);
    layout::installCard(store, spec.system, layout::wiredCard(), {0, true, true});
    layout::installCard(store, spec.system, layout::adapterCard(1),
                        {1, spec.adapter != AdapterSetup::Absent, spec.adapter != AdapterSetup::Disabled});
    if (spec.productInstalled)
        layout::writeProductEntry(store);
    radio::seedDefaultNetworks(store);
    transaction.commit();
}

std::string addAdapter(Store& store) {
    Store::Transaction transaction(store);
    const auto kind = machineSystem(store);
    if (!kind)
        throw StoreError("the store holds no machine");
    // Counted by instance identifier, which never changes after installation, so every card gets
    // identifiers of its own even when a test has rewritten another card's hardware identifiers.
    const std::string adapterPrefix = std::string(dev::kAdapterHardwareId) + "\\";
    int adapters = 0;
    for (const auto& device : dev::allDevices(store)) {
        if (device.instanceId.starts_with(adapterPrefix))
            ++adapters;
    }
    const std::string instanceId = layout::installCard(store, *kind, layout::adapterCard(adapters + 1),
                                                       {networkCardCount(store), true, true});
    transaction.commit();
    return instanceId;
}

std::unique_ptr<Store> openMachine(const std::filesystem::path& file) {
    auto store = std::make_unique<Store>(file);
    Store::Transaction transaction(*store);
    if (!machineBuilt(*store))
        buildMachine(*store, MachineSpec{});
    transaction.commit();
    return store;
}

}  // namespace sim
