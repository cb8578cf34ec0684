#include "sim/machine.h"

#include <array>
#include <cstdlib>
#include <utility>

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
        if (candidate == kind) return name;
    }
    return "?";
}

std::optional<SystemKind> systemKindFromName(std::string_view name) {
    for (const auto& [kind, candidate] : kSystemNames) {
        if (vessra::equalsIgnoreAsciiCase(candidate, name)) return kind;
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
    if (explicitPath && !explicitPath->empty()) return *explicitPath;
    const char* fromEnvironment = std::getenv("SIMHOST_MACHINE");
    if (fromEnvironment && *fromEnvironment) return fromEnvironment;
    return defaultMachineFile();
}

bool machineBuilt(Store& store) { return store.setting(kSystemSetting).has_value(); }

std::optional<SystemKind> machineSystem(Store& store) {
    const auto name = store.setting(kSystemSetting);
    return name ? systemKindFromName(*name) : std::nullopt;
}

void buildMachine(Store& store, const MachineSpec& spec) {
    Store::Transaction transaction(store);
    if (machineBuilt(store)) throw StoreError("the store already holds a machine");
    store.setSetting(kSystemSetting, systemKindName(spec.system));
    reg::ensureHive(store, reg::Hive::LocalMachine);
    if (!isNtFamily(spec.system)) reg::ensureHive(store, reg::Hive::DynData);
    transaction.commit();
}

std::unique_ptr<Store> openMachine(const std::filesystem::path& file) {
    auto store = std::make_unique<Store>(file);
    Store::Transaction transaction(*store);
    if (!machineBuilt(*store)) buildMachine(*store, MachineSpec{});
    transaction.commit();
    return store;
}

}  // namespace sim
