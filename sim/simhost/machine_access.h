#pragma once
// The machine file of this simhost run, opened for commands that work on the store itself.

#include <memory>

#include "platform/machine.h"
#include "sim/machine.h"

namespace simhost {

inline std::unique_ptr<sim::Store> openThisMachine() {
    return sim::openMachine(platform::machineFile());
}

}  // namespace simhost
