// The configuration manager's view of the device tree: nodes by instance identifier, their status,
// and the outside library call that reads the status for the utility.

#include <optional>

#include "machine_connection.h"
#include "platform/devices.h"
#include "platform/tovrin.h"
#include "sim/device_store.h"

namespace platform::devices {

namespace {

std::optional<sim::dev::Device> deviceByDevInst(sim::Store& store, DevInst devInst) {
    for (auto& device : sim::dev::allDevices(store)) {
        if (static_cast<DevInst>(device.id) == devInst)
            return device;
    }
    return std::nullopt;
}

// Runs a configuration-manager call; a failing machine store answers CR_FAILURE.
template <typename Work>
ConfigResult guardedCall(Work&& work) {
    ConfigResult result = ConfigResult::Failure;
    const Error error = detail::guarded([&](sim::Store& store) {
        result = work(store);
        return Error::Success;
    });
    return error == Error::Success ? result : ConfigResult::Failure;
}

}  // namespace

ConfigResult locateDevNode(DevInst* devInst, const char* deviceId, std::uint32_t flags) {
    if (devInst == nullptr)
        return ConfigResult::InvalidPointer;
    if ((flags & ~kLocatePhantom) != 0)
        return ConfigResult::InvalidFlag;
    if (deviceId == nullptr || *deviceId == '\0') {
        *devInst = kRootDevInst;
        return ConfigResult::Success;
    }
    return guardedCall([&](sim::Store& store) {
        const auto device = sim::dev::findDevice(store, deviceId);
        if (!device || (!device->present && (flags & kLocatePhantom) == 0))
            return ConfigResult::NoSuchDevNode;
        *devInst = static_cast<DevInst>(device->id);
        return ConfigResult::Success;
    });
}

ConfigResult reenumerateDevNode(DevInst devInst, std::uint32_t flags) {
    if ((flags & ~kReenumerateSynchronous) != 0)
        return ConfigResult::InvalidFlag;
    if (devInst == kRootDevInst)
        return ConfigResult::Success;
    return guardedCall([&](sim::Store& store) {
        const auto device = deviceByDevInst(store, devInst);
        if (!device)
            return ConfigResult::InvalidDevNode;
        return device->present ? ConfigResult::Success : ConfigResult::NoSuchDevNode;
    });
}

ConfigResult devNodeStatus(DevInst devInst, std::uint32_t& status, std::uint32_t& problem) {
    if (devInst == kRootDevInst) {
        status = kStatusDriverLoaded | kStatusStarted;
        problem = 0;
        return ConfigResult::Success;
    }
    return guardedCall([&](sim::Store& store) {
        const auto device = deviceByDevInst(store, devInst);
        if (!device)
            return ConfigResult::InvalidDevNode;
        if (!device->present)
            return ConfigResult::NoSuchDevNode;
        if (device->enabled) {
            status = kStatusDriverLoaded | kStatusStarted | kStatusDisableable;
            problem = 0;
        } else {
            status = kStatusHasProblem | kStatusDisableable;
            problem = device->problem != 0 ? device->problem : kProblemDisabled;
        }
        return ConfigResult::Success;
    });
}

}  // namespace platform::devices

extern "C" int My_CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem, std::uint32_t devInst,
                                        std::uint32_t flags) {
    if (status == nullptr || problem == nullptr || flags != 0)
        return 0;
    std::uint32_t readStatus = 0;
    std::uint32_t readProblem = 0;
    if (platform::devices::devNodeStatus(devInst, readStatus, readProblem) !=
        platform::devices::ConfigResult::Success) {
        return 0;
    }
    *status = readStatus;
    *problem = readProblem;
    return 1;
}
