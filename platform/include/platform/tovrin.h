#pragma once
// The adapter maker's helper library: reads a device node's status for the utility.
//
// My_CM_Get_DevNode_Status fills the configuration manager's status bits (0x400: the node has a
// problem) and the problem number (22: the device is disabled) of the node `devInst` and returns
// non-zero; it returns 0 and leaves both untouched when the status cannot be read (no such node,
// a null pointer, flags other than 0).

#include <cstdint>

extern "C" int My_CM_Get_DevNode_Status(std::uint32_t* status, std::uint32_t* problem, std::uint32_t devInst,
                                        std::uint32_t flags);
