#include "machine_connection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/machine.h"
#include "sim/machine.h"

namespace platform {

namespace {

// The one piece of process-wide state of the platform layer: which machine this process is on.
struct ProcessMachine {
    std::mutex mutex;
    std::optional<std::filesystem::path> file;
    // Bumped by every switch, so threads notice one without comparing paths on each call.
    std::atomic<std::uint64_t> generation{1};
};

ProcessMachine& processMachine() {
    static ProcessMachine machine;
    return machine;
}

struct ThreadConnection {
    std::uint64_t generation = 0;
    std::unique_ptr<sim::Store> store;
};

}  // namespace

void useMachineFile(const std::filesystem::path& file) {
    std::lock_guard lock(processMachine().mutex);
    processMachine().file = file;
    ++processMachine().generation;
}

std::filesystem::path machineFile() {
    std::lock_guard lock(processMachine().mutex);
    if (!processMachine().file) processMachine().file = sim::resolveMachineFile(std::nullopt);
    return *processMachine().file;
}

namespace detail {

sim::Store& machineStore() {
    thread_local ThreadConnection connection;
    const std::uint64_t generation = processMachine().generation.load();
    if (!connection.store || connection.generation != generation) {
        connection.store.reset();
        connection.store = sim::openMachine(machineFile());
        connection.generation = generation;
    }
    return *connection.store;
}

Error guarded(const std::function<Error(sim::Store&)>& work) {
    try {
        return work(machineStore());
    } catch (const std::exception&) {
        return Error::InternalError;
    }
}

}  // namespace detail
}  // namespace platform
