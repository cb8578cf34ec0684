#pragma once
// What a network card of the machine has besides its device node: its hardware address and the
// DHCP lease its client holds. The simulated driver reports the same address; the platform's
// adapter information list combines these rows with the system's TCP/IP settings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/store.h"

namespace sim::net {

struct Lease {
    std::string ip;  // dotted texts; all empty when the card holds no lease
    std::string mask;
    std::string gateway;
    std::string dhcpServer;
};

struct NetCard {
    std::int64_t deviceId = 0;
    std::string mac;  // 12 upper-case hex digits, e.g. "000B6B4D2A17"
    Lease lease;
};

void addCard(Store& store, const NetCard& card);
std::optional<NetCard> cardOfDevice(Store& store, std::int64_t deviceId);
// The card's address as 12 hex digits, found by its device instance identifier.
std::optional<std::string> macAddress(Store& store, std::string_view instanceId);

}  // namespace sim::net
