#pragma once
// The simulated machine this process works on. By default the file named by SIMHOST_MACHINE, else
// ${XDG_DATA_HOME:-$HOME/.local/share}/vessra/machine.db; a missing file gets the default machine.

#include <filesystem>

namespace platform {

// Switches the whole process to another machine file (simhost --machine, tests), overriding
// SIMHOST_MACHINE. Threads reconnect at their next platform call.
void useMachineFile(const std::filesystem::path& file);
std::filesystem::path machineFile();

}  // namespace platform
