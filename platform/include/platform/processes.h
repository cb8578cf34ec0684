#pragma once
// The processes running on this computer (the real ones: the simulated machine has no processes of
// its own), each with its executable's file name, e.g. "sennet.exe".

#include <string>
#include <vector>

#include "platform/error.h"

namespace platform {

struct ProcessEntry {
    int pid = 0;
    int parentPid = 0;
    std::string exeName;  // the file name without its folder
};

// Processes that end while the list is taken are left out.
Error listProcesses(std::vector<ProcessEntry>& out);

}  // namespace platform
