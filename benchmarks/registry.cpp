// The profile store rewrites its whole tree on every save: about 200 keys of 45 values at the most,
// in one transaction. These measure that save and the load that follows, through the registry API.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/registry.h"
#include "scratch_machine_file.h"
#include "sim/machine.h"

namespace {

namespace registry = platform::registry;

constexpr int kProfiles = 200;
constexpr int kValuesPerProfile = 45;

void writeTree() {
    registry::Transaction transaction;
    registry::deleteTree(registry::Hive::LocalMachine, "Driver\\CustomParams\\Configurations");
    registry::Key configurations;
    registry::Key::create(registry::Hive::LocalMachine, "Driver\\CustomParams\\Configurations",
                          configurations);
    for (int profile = 0; profile < kProfiles; ++profile) {
        registry::Key cfg;
        configurations.createSub("Cfg" + std::to_string(profile), cfg);
        for (int value = 0; value < kValuesPerProfile; ++value) {
            if (value % 3 == 0) {
                cfg.setString("Text" + std::to_string(value), "0123456789abcdef0123456789abcdef");
            } else {
                cfg.setDword("Number" + std::to_string(value), static_cast<std::uint32_t>(value));
            }
        }
    }
    transaction.commit();
}

std::size_t readTree() {
    registry::Key configurations;
    registry::Key::open(registry::Hive::LocalMachine, "Driver\\CustomParams\\Configurations",
                        registry::Access::Read, configurations);
    std::size_t bytes = 0;
    std::string name;
    for (std::size_t index = 0; configurations.subkeyAt(index, name) == platform::Error::Success; ++index) {
        registry::Key cfg;
        configurations.openSub(name, registry::Access::Read, cfg);
        for (int value = 0; value < kValuesPerProfile; ++value) {
            registry::Value read;
            const std::string valueName = (value % 3 == 0 ? "Text" : "Number") + std::to_string(value);
            if (cfg.queryValue(valueName, 1024, read) == platform::Error::Success)
                bytes += read.data.size();
        }
    }
    return bytes;
}

void BM_SaveProfileTree(benchmark::State& state) {
    ScratchMachineFile scratch;
    for (auto _ : state) writeTree();
    state.SetItemsProcessed(state.iterations() * kProfiles * kValuesPerProfile);
}
BENCHMARK(BM_SaveProfileTree)->Unit(benchmark::kMillisecond);

void BM_LoadProfileTree(benchmark::State& state) {
    ScratchMachineFile scratch;
    writeTree();
    for (auto _ : state) benchmark::DoNotOptimize(readTree());
    state.SetItemsProcessed(state.iterations() * kProfiles * kValuesPerProfile);
}
BENCHMARK(BM_LoadProfileTree)->Unit(benchmark::kMillisecond);

}  // namespace
