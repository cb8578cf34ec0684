// simhost new: creates a machine file of a chosen system kind and adapter state.

#include <filesystem>
#include <iostream>

#include "command.h"
#include "platform/machine.h"
#include "sim/machine.h"

namespace simhost {

namespace {

std::optional<sim::AdapterSetup> adapterSetupFromName(const std::string& name) {
    if (name == "present")
        return sim::AdapterSetup::Present;
    if (name == "disabled")
        return sim::AdapterSetup::Disabled;
    if (name == "absent")
        return sim::AdapterSetup::Absent;
    return std::nullopt;
}

void removeMachineFiles(const std::filesystem::path& file) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(file.string() + suffix);
    }
}

}  // namespace

int runNew(const Invocation& call) {
    sim::MachineSpec spec;
    bool force = false;
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        const std::string& word = call.args[i];
        const bool hasValue = i + 1 < call.args.size();
        if (word == "--force") {
            force = true;
        } else if (word == "--os" && hasValue) {
            const auto kind = sim::systemKindFromName(call.args[++i]);
            if (!kind) {
                call.err << "simhost new: unknown system kind " << call.args[i]
                         << " (xp, 2000, me, 98se, nt4, 95, 98, nt4sp5, 2003)\n";
                return kUsage;
            }
            spec.system = *kind;
        } else if (word == "--product" && hasValue) {
            const std::string& product = call.args[++i];
            if (product != "installed" && product != "none") {
                call.err << "simhost new: unknown product state " << product << " (installed, none)\n";
                return kUsage;
            }
            spec.productInstalled = product == "installed";
        } else if (word == "--adapter" && hasValue) {
            const auto setup = adapterSetupFromName(call.args[++i]);
            if (!setup) {
                call.err << "simhost new: unknown adapter state " << call.args[i]
                         << " (present, disabled, absent)\n";
                return kUsage;
            }
            spec.adapter = *setup;
        } else {
            call.err << "simhost new: unexpected " << word << " (see simhost --help)\n";
            return kUsage;
        }
    }
    const std::filesystem::path file = platform::machineFile();
    if (std::filesystem::exists(file)) {
        if (!force) {
            call.err << "simhost new: " << file.string() << " exists already (use --force to replace it)\n";
            return kFailed;
        }
        removeMachineFiles(file);
    }
    sim::Store store(file);
    sim::buildMachine(store, spec);
    call.out << "created " << sim::systemKindName(spec.system) << " machine in " << file.string() << "\n";
    return kOk;
}

}  // namespace simhost
