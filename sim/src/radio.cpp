#include "sim/radio.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "vessra/common/bytes.h"
#include "vessra/common/text.h"

namespace sim::radio {

namespace {

constexpr const char* kColumns =
    "id, ssid, bssid, frequency_khz, flags, infrastructure, security, key, base_rssi";

Network networkFromRow(const Statement& row) {
    Network network;
    network.id = row.columnInt(0);
    network.ssid = row.columnText(1);
    network.bssid = row.columnBlob(2);
    network.frequencyKhz = static_cast<std::uint32_t>(row.columnInt(3));
    network.flags = static_cast<std::uint32_t>(row.columnInt(4));
    network.infrastructure = row.columnInt(5) != 0;
    network.security = static_cast<Security>(row.columnInt(6));
    network.key = row.columnBlob(7);
    network.baseRssi = static_cast<std::int32_t>(row.columnInt(8));
    return network;
}

// One swing period of the heard signal; each network starts at its own phase.
constexpr double kSwingPeriodSeconds = 20.0;

struct DefaultNetwork {
    const char* ssid;
    const char* bssid;
    std::uint32_t frequencyKhz;
    std::uint32_t flags;
    bool infrastructure;
    Security security;
    const char* keyHex;
    std::int32_t baseRssi;
};

// Every band label the utility shows (B, G, A, T, JE), open and keyed (WEP 40, WEP 104, AES),
// infrastructure and ad hoc, a strong and a weak network. The README lists the same table.
constexpr std::array<DefaultNetwork, 8> kDefaultNetworks{{
    {"Lobby-B", "02:56:53:00:00:01", 2412000, 0, true, Security::Open, "", -48},
    {"Cafe-G", "02:56:53:00:00:02", 2437000, 0x400, true, Security::Wep, "a1b2c3d4e5", -62},
    {"Office-A", "02:56:53:00:00:03", 5180000, 0, true, Security::Aes, "3f1c9a7be4d25608c1e7a9b3f0d4628e",
     -57},
    {"Lab-Turbo", "02:56:53:00:00:04", 5210000, 0x100, true, Security::Open, "", -66},
    {"Kyoto-JE", "02:56:53:00:00:05", 4920000, 0, true, Security::Wep, "00112233445566778899aabbcc", -70},
    {"Osaka-JE", "02:56:53:00:00:06", 5040000, 0, true, Security::Open, "", -73},
    {"Peer-AdHoc", "02:56:53:00:00:07", 2462000, 0, false, Security::Open, "", -67},
    {"Attic-Weak", "02:56:53:00:00:08", 2462000, 0x400, true, Security::Open, "", -86},
}};

}  // namespace

std::vector<Network> allNetworks(Store& store) {
    Statement statement =
        store.prepare(std::string("SELECT ") + kColumns + " FROM radio_network ORDER BY id");
    std::vector<Network> networks;
    while (statement.step()) networks.push_back(networkFromRow(statement));
    return networks;
}

std::optional<Network> findNetwork(Store& store, std::string_view ssidOrBssid) {
    const auto bssid = bssidFromText(ssidOrBssid);
    for (Network& network : allNetworks(store)) {
        if (network.ssid == ssidOrBssid || (bssid && network.bssid == *bssid))
            return std::move(network);
    }
    return std::nullopt;
}

std::optional<Network> networkByBssid(Store& store, const std::vector<std::uint8_t>& bssid) {
    Statement statement =
        store.prepare(std::string("SELECT ") + kColumns + " FROM radio_network WHERE bssid = ?");
    statement.bindBlob(1, bssid);
    if (!statement.step())
        return std::nullopt;
    return networkFromRow(statement);
}

std::int64_t addNetwork(Store& store, const Network& network) {
    if (network.bssid.size() != 6)
        throw StoreError("a BSSID has 6 bytes");
    if (network.ssid.size() > 32)
        throw StoreError("an SSID has at most 32 bytes");
    store
        .prepare(
            "INSERT INTO radio_network(ssid, bssid, frequency_khz, flags, infrastructure, security, key, "
            "base_rssi) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, network.ssid)
        .bindBlob(2, network.bssid)
        .bind(3, network.frequencyKhz)
        .bind(4, network.flags)
        .bind(5, network.infrastructure ? 1 : 0)
        .bind(6, static_cast<std::int64_t>(network.security))
        .bindBlob(7, network.key)
        .bind(8, network.baseRssi)
        .run();
    Statement id = store.prepare("SELECT last_insert_rowid()");
    id.step();
    return id.columnInt(0);
}

bool removeNetwork(Store& store, std::string_view ssidOrBssid) {
    const auto network = findNetwork(store, ssidOrBssid);
    if (!network)
        return false;
    store.prepare("DELETE FROM radio_network WHERE id = ?").bind(1, network->id).run();
    return true;
}

bool moveNetwork(Store& store, std::string_view ssidOrBssid, std::int32_t baseRssi) {
    const auto network = findNetwork(store, ssidOrBssid);
    if (!network)
        return false;
    store.prepare("UPDATE radio_network SET base_rssi = ? WHERE id = ?")
        .bind(1, baseRssi)
        .bind(2, network->id)
        .run();
    return true;
}

bool inRange(const Network& network) {
    return network.baseRssi > kOutOfRangeDbm;
}

std::int32_t currentRssi(const Network& network, std::chrono::system_clock::time_point now) {
    const double seconds =
        static_cast<double>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
            86'400'000) /
        1000.0;
    const double phase = network.bssid.empty() ? 0.0 : network.bssid.back() * 0.7;
    const double swing =
        kSignalSwingDb * std::sin(2.0 * std::numbers::pi * seconds / kSwingPeriodSeconds + phase);
    return network.baseRssi + static_cast<std::int32_t>(std::lround(swing));
}

void seedDefaultNetworks(Store& store) {
    Store::Transaction transaction(store);
    if (!allNetworks(store).empty())
        return;
    for (const DefaultNetwork& entry : kDefaultNetworks) {
        Network network;
        network.ssid = entry.ssid;
        network.bssid = *bssidFromText(entry.bssid);
        network.frequencyKhz = entry.frequencyKhz;
        network.flags = entry.flags;
        network.infrastructure = entry.infrastructure;
        network.security = entry.security;
        vessra::parseHex(entry.keyHex, network.key);
        network.baseRssi = entry.baseRssi;
        addNetwork(store, network);
    }
    transaction.commit();
}

std::string bssidText(const std::vector<std::uint8_t>& bssid) {
    std::string text;
    for (std::size_t i = 0; i < bssid.size(); ++i) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X", bssid[i]);
        if (i)
            text += ':';
        text += part;
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> bssidFromText(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    for (std::size_t i = 2; i < text.size(); i += 3) {
        if (text[i] != ':' && text[i] != '-')
            return std::nullopt;
    }
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 3 != 2)
            digits += text[i];
    }
    vessra::Bytes bytes;
    if (!vessra::parseHex(digits, bytes) || bytes.size() != 6)
        return std::nullopt;
    return bytes;
}

}  // namespace sim::radio
