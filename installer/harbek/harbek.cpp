#include "harbek.h"

#include "platform/devices.h"

// Where the configuration manager cannot be reached (the machine cannot be opened), the platform
// layer answers with a failure result, so both wrappers report 0, "not done": a caller that goes on
// as if the node had been found or re-enumerated would act on a device it never saw.

extern "C" int My_CM_Locate_DevNode(uint32_t* devInst, const char* deviceId, uint32_t flags) {
    try {
        return platform::devices::locateDevNode(devInst, deviceId, flags) ==
                       platform::devices::ConfigResult::Success
                   ? 1
                   : 0;
    } catch (...) {
        return 0;  // no exception may cross into a C caller
    }
}

extern "C" int My_CM_Reenumerate_DevNode(uint32_t devInst, uint32_t flags) {
    try {
        return platform::devices::reenumerateDevNode(devInst, flags) ==
                       platform::devices::ConfigResult::Success
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}
