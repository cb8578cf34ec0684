#pragma once
// harbek: two configuration-manager calls for outside callers, reduced to a plain success flag.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Finds the device node with the instance identifier `deviceId` into *devInst. `flags` are the
// configuration manager's locate flags, passed on unchanged. 1 on success, 0 otherwise.
int My_CM_Locate_DevNode(uint32_t* devInst, const char* deviceId, uint32_t flags);

// Asks the bus of device node `devInst` to enumerate it again. 1 on success, 0 otherwise.
int My_CM_Reenumerate_DevNode(uint32_t devInst, uint32_t flags);

#ifdef __cplusplus
}
#endif
