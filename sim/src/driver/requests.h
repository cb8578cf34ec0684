#pragma once
// Inside the driver: answering one query or applying one set, with the catalogue's layouts.

#include <span>

#include "association.h"
#include "sim/driver.h"

namespace sim::driver {

struct RequestContext {
    Store& store;
    const NetCard& card;
    DriverState& state;
    Clock::time_point now;
};

// Both fill request.transferred and request.needed and touch at most buffer.size() bytes.
Status answerQuery(RequestContext& context, Request& request, std::span<std::uint8_t> buffer);
Status applySet(RequestContext& context, Request& request, std::span<const std::uint8_t> buffer);

}  // namespace sim::driver
