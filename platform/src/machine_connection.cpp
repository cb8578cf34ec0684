#include "machine_connection.h"

#include <memory>
#include <mutex>
#include <optional>

#include "platform/machine.h"
#include "sim/machine.h"

namespace platform {

namespace {

// The one piece of process-wide state of the platform layer: the machine file this process was
// pointed at. Without one, SIMHOST_MACHINE is looked up on every call, so that a library loaded
// into someone else's process follows the environment it is called in.
struct ProcessMachine {
    std::mutex mutex;
    std::optional<std::filesystem::path> file;
};

ProcessMachine& processMachine() {
    static ProcessMachine machine;
    return machine;
}

struct ThreadConnection {
    std::filesystem::path file;
    std::unique_ptr<sim::Store> store;
};

}  // namespace

void useMachineFile(const std::filesystem::path& file) {
    std::lock_guard lock(processMachine().mutex);
    processMachine().file = file;
}

std::filesystem::path machineFile() {
    std::lock_guard lock(processMachine().mutex);
    return sim::resolveMachineFile(processMachine().file);
}

namespace detail {

sim::Store& machineStore() {
    thread_local ThreadConnection connection;
    std::filesystem::path file = machineFile();
    if (!connection.store || connection.file != file) {
        connection.store.reset();
        connection.store = sim::openMachine(file);
        connection.file = std::move(file);
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
