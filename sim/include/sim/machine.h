#pragma once
// Where a simulated machine lives and what a new one holds.
//
// The machine file is chosen by an explicit path, else SIMHOST_MACHINE, else
// ${XDG_DATA_HOME:-$HOME/.local/share}/vessra/machine.db. Opening a file that holds no machine yet
// builds the default machine in it, inside one transaction, so that two programs starting at once
// on a fresh file agree on one machine.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/store.h"

namespace sim {

enum class SystemKind {
    WindowsXP,
    Windows2000,
    WindowsMe,
    Windows98SE,
    WindowsNT4,  // NT 4.0 with Service Pack 6
    Windows95,
    Windows98,          // first edition
    WindowsNT4Sp5,      // NT 4.0 with another service pack
    WindowsServer2003,  // a later NT
};

enum class AdapterSetup { Present, Disabled, Absent };

struct MachineSpec {
    SystemKind system = SystemKind::WindowsXP;
    AdapterSetup adapter = AdapterSetup::Present;
    bool productInstalled = true;  // the product's uninstall entry exists
};

// The extended version record a system of that kind reports.
struct SystemVersion {
    bool ntPlatform = true;  // false: the Windows 9x platform
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::string servicePack;  // e.g. "Service Pack 6"; " A " on Windows 98 Second Edition
};
SystemVersion systemVersion(SystemKind kind);

// Machine-wide settings a new machine holds.
inline constexpr std::string_view kComputerNameSetting = "computer_name";
inline constexpr std::string_view kLanguageSetting = "language";  // four hex digits, "0411" Japanese

// Short names used by simhost: xp, 2000, me, 98se, nt4, 95, 98, nt4sp5, 2003.
std::string_view systemKindName(SystemKind kind);
std::optional<SystemKind> systemKindFromName(std::string_view name);
std::vector<SystemKind> allSystemKinds();
bool isNtFamily(SystemKind kind);

std::filesystem::path defaultMachineFile();
std::filesystem::path resolveMachineFile(const std::optional<std::filesystem::path>& explicitPath);

bool machineBuilt(Store& store);
std::optional<SystemKind> machineSystem(Store& store);
// Fills an empty store with a machine; throws StoreError if the store already holds one.
void buildMachine(Store& store, const MachineSpec& spec);

// Installs one more adapter card (present and enabled) with the records a real installation of a
// second card would add; returns its device instance identifier.
std::string addAdapter(Store& store);

// Opens the machine file, building the default machine first when it holds none.
std::unique_ptr<Store> openMachine(const std::filesystem::path& file);

}  // namespace sim
