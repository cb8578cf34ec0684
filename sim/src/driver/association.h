#pragma once
// Inside the driver: how the station picks and keeps a network, and what the link reports.

#include <chrono>
#include <cstdint>
#include <optional>

#include "sim/radio.h"
#include "state.h"

namespace sim::driver {

using Clock = std::chrono::system_clock;

// The software radio and the hardware radio key ("radio_key" setting, on unless "off") both on.
bool radioOn(Store& store, const DriverState& state);
// Whether the station may join the network with its settings: name (empty or "any" = any), mode,
// band (NetBand bits) and security (a keyed network only with its key in the default slot).
bool fits(const StationSettings& settings, const radio::Network& network);
// Drops the current link and joins the strongest fitting network in range, if any.
void associate(Store& store, DriverState& state, Clock::time_point now);
// Drops a link that the radio or the network no longer allows; an unassociated station with its
// radio on keeps looking and joins as soon as a fitting network is in range.
void refreshAssociation(Store& store, DriverState& state, Clock::time_point now);
void dropLink(DriverState& state, Clock::time_point now);

std::optional<radio::Network> joinedNetwork(Store& store, const DriverState& state);
std::uint32_t linkCipher(const radio::Network& network);
std::uint32_t linkRateMbps(const StationSettings& settings, const radio::Network& network);
// Frames sent and received so far; they advance while a link carries traffic.
std::uint64_t framesSent(const DriverState& state, Clock::time_point now);
std::uint64_t framesReceived(const DriverState& state, Clock::time_point now);

}  // namespace sim::driver
