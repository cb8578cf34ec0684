#pragma once
// The radio environment of a machine: the wireless networks in range of the adapter.
//
// Each network has a base signal; the signal the adapter hears varies around it over time (a few
// dB, the same for every process at the same moment). A network whose base signal is at or below
// kOutOfRangeDbm is out of range: it is neither listed nor joined.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/store.h"

namespace sim::radio {

enum class Security { Open = 0, Wep = 1, Aes = 2 };

inline constexpr std::int32_t kOutOfRangeDbm = -95;
inline constexpr std::int32_t kSignalSwingDb = 3;  // the heard signal stays within base +- this

struct Network {
    std::int64_t id = 0;
    std::string ssid;                 // at most 32 bytes
    std::vector<std::uint8_t> bssid;  // 6 bytes
    std::uint32_t frequencyKhz = 0;   // centre frequency
    std::uint32_t flags = 0;          // channel flags: 0x100 turbo, 0x400 802.11g
    bool infrastructure = true;       // false: ad hoc
    Security security = Security::Open;
    std::vector<std::uint8_t> key;  // the plain key (WEP 5 or 13 bytes, AES 16); empty when open
    std::int32_t baseRssi = -60;    // dBm
};

// Every network in the table, in insertion order (including those out of range).
std::vector<Network> allNetworks(Store& store);
std::optional<Network> findNetwork(Store& store, std::string_view ssidOrBssid);
std::optional<Network> networkByBssid(Store& store, const std::vector<std::uint8_t>& bssid);
// Throws StoreError when the BSSID is already used.
std::int64_t addNetwork(Store& store, const Network& network);
bool removeNetwork(Store& store, std::string_view ssidOrBssid);
bool moveNetwork(Store& store, std::string_view ssidOrBssid, std::int32_t baseRssi);

bool inRange(const Network& network);
// The signal heard now: the base plus a slow swing of at most kSignalSwingDb.
std::int32_t currentRssi(const Network& network, std::chrono::system_clock::time_point now);

// The default machine's networks (see the README's "Networks in range" section). Adds nothing when
// the table already holds networks.
void seedDefaultNetworks(Store& store);

std::string bssidText(const std::vector<std::uint8_t>& bssid);  // "00:11:22:33:44:55"
std::optional<std::vector<std::uint8_t>> bssidFromText(std::string_view text);

}  // namespace sim::radio
