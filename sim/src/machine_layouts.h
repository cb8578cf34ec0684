#pragma once
// Inside sim/ only: what a real installation puts into the machine for each system kind, one
// network card at a time, and the system's own keys and services.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/machine.h"
#include "sim/net_card.h"
#include "sim/store.h"

namespace sim::layout {

struct CardModel {
    std::string description;
    std::vector<std::string> hardwareIds;
    std::string nt5InstanceSuffix;  // after the hardware id and a backslash, on NT systems
    std::string w9xInstanceSuffix;  // the same on the Windows 9x family
    std::string serviceName;        // driver service on Windows 2000/XP and the 9x family
    std::string nt4ServiceName;     // NT 4.0 numbers each card of a driver: "E100B1", "Vessra1", ...
    std::string interfaceGuid;      // NetCfgInstanceId on Windows 2000/XP
    std::string mac;
    bool dhcp = true;
    std::string staticIp;  // with dhcp false
    net::Lease lease;      // with dhcp true
    bool isAdapter = false;
};

CardModel wiredCard();
// The adapter; ordinal 1 is the first one, 2 a second card, ...
CardModel adapterCard(int ordinal);

struct CardPlacement {
    int position = 0;  // 0-based order among the network cards (driver key number)
    bool present = true;
    bool enabled = true;
};

// Adds the device row, the card row and every registry record of the card; returns the instance id.
std::string installCard(Store& store, SystemKind kind, const CardModel& card, const CardPlacement& placement);

void writeSystemKeys(Store& store, SystemKind kind);
void addSystemServices(Store& store, SystemKind kind);
void writeProductEntry(Store& store);

}  // namespace sim::layout
