#pragma once
// Inside platform/ only: the store connection of the calling thread for the process's machine.

#include <functional>

#include "platform/error.h"
#include "sim/store.h"

namespace platform::detail {

// Each thread has its own connection (SQLite transactions belong to a connection).
sim::Store& machineStore();

// Runs work against the machine store and turns a store failure into Error::InternalError, so that
// no platform call lets an exception escape.
Error guarded(const std::function<Error(sim::Store&)>& work);

}  // namespace platform::detail
