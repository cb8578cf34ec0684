#pragma once
// pellick: tells an outside caller (the installation program) whether the adapter is in the machine.

#ifdef __cplusplus
extern "C" {
#endif

// 1 when a present device's hardware-identifier list starts with a string that contains the
// adapter's identifier, or when the device enumeration could not be completed; 0 when every present
// device was looked at and none matched.
int FindExistingDevice(void);

#ifdef __cplusplus
}
#endif
