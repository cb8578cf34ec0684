// simhost device: list the device tree; enable, disable, remove or insert a device; add an adapter.

#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/device_store.h"

namespace simhost {

void printDevices(sim::Store& store, std::ostream& out);  // show_command.cpp

namespace {

// "adapter" (the default) is the first device carrying the adapter's hardware identifier; anything
// else is a device instance identifier.
std::optional<sim::dev::Device> findTarget(sim::Store& store, const std::string& word) {
    if (word == "adapter") {
        for (auto& device : sim::dev::allDevices(store)) {
            if (!device.hardwareIds.empty() && device.hardwareIds.front() == sim::dev::kAdapterHardwareId) {
                return device;
            }
        }
        return std::nullopt;
    }
    return sim::dev::findDevice(store, word);
}

}  // namespace

int runDevice(const Invocation& call) {
    if (call.args.empty()) {
        call.err
            << "simhost device: list, enable, disable, remove, insert or add-adapter (see simhost --help)\n";
        return kUsage;
    }
    const std::string& action = call.args[0];
    auto store = openThisMachine();
    if (action == "list" && call.args.size() == 1) {
        printDevices(*store, call.out);
        return kOk;
    }
    if (action == "add-adapter" && call.args.size() == 1) {
        call.out << "added " << sim::addAdapter(*store) << "\n";
        return kOk;
    }
    const bool known = action == "enable" || action == "disable" || action == "remove" || action == "insert";
    if (!known || call.args.size() > 2) {
        call.err << "simhost device: unknown or malformed command " << action << " (see simhost --help)\n";
        return kUsage;
    }
    const std::string target = call.args.size() == 2 ? call.args[1] : "adapter";
    const auto device = findTarget(*store, target);
    if (!device) {
        call.err << "simhost device: no device " << target << "\n";
        return kFailed;
    }
    bool done = false;
    if (action == "enable" || action == "disable") {
        done = sim::dev::setEnabled(*store, device->instanceId, action == "enable");
    } else {
        done = sim::dev::setPresent(*store, device->instanceId, action == "insert");
    }
    if (!done) {
        call.err << "simhost device: " << action << " " << device->instanceId << ": "
                 << (device->present ? "the device is in the machine already"
                                     : "the device is not in the machine")
                 << "\n";
        return kFailed;
    }
    call.out << action << " " << device->instanceId << ": done\n";
    return kOk;
}

}  // namespace simhost
