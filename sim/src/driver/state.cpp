#include "state.h"

#include <algorithm>
#include <string>

namespace sim::driver {

namespace {

// Each key slot is stored as its length byte and 16 key bytes.
constexpr std::size_t kSlotBytes = 17;

std::vector<std::uint8_t> packKeys(const StationSettings& settings) {
    std::vector<std::uint8_t> packed(kKeySlots * kSlotBytes, 0);
    for (std::size_t slot = 0; slot < kKeySlots; ++slot) {
        const auto& key = settings.keys[slot];
        const std::size_t length = std::min<std::size_t>(key.size(), kSlotBytes - 1);
        packed[slot * kSlotBytes] = static_cast<std::uint8_t>(length);
        std::copy_n(key.begin(), length, packed.begin() + static_cast<long>(slot * kSlotBytes + 1));
    }
    return packed;
}

void unpackKeys(const std::vector<std::uint8_t>& packed, StationSettings& settings) {
    for (std::size_t slot = 0; slot < kKeySlots && (slot + 1) * kSlotBytes <= packed.size(); ++slot) {
        const std::size_t start = slot * kSlotBytes;
        const std::size_t length = std::min<std::size_t>(packed[start], kSlotBytes - 1);
        settings.keys[slot].assign(packed.begin() + static_cast<long>(start + 1),
                                   packed.begin() + static_cast<long>(start + 1 + length));
    }
}

}  // namespace

std::optional<DriverState> loadState(Store& store, std::string_view instanceId) {
    Statement row = store.prepare(
        "SELECT starts_seen, radio_on, ssid, infrastructure, net_band, privacy, default_key, encryption_alg, "
        "keys, "
        "bssid, link_since_ms, tx_frames, rx_frames, country, network_address FROM driver_state WHERE "
        "instance_id = ?");
    row.bind(1, instanceId);
    if (!row.step())
        return std::nullopt;
    DriverState state;
    state.startsSeen = row.columnInt(0);
    state.radioOn = row.columnInt(1) != 0;
    state.settings.ssid = row.columnText(2);
    state.settings.infrastructure = row.columnInt(3) != 0;
    state.settings.netBand = static_cast<std::uint32_t>(row.columnInt(4));
    state.settings.privacy = row.columnInt(5) != 0;
    state.settings.defaultKey = static_cast<std::uint32_t>(row.columnInt(6));
    state.settings.encryptionAlg = static_cast<std::uint32_t>(row.columnInt(7));
    unpackKeys(row.columnBlob(8), state.settings);
    state.bssid = row.columnBlob(9);
    state.linkSinceMs = row.columnInt(10);
    state.txFrames = static_cast<std::uint64_t>(row.columnInt(11));
    state.rxFrames = static_cast<std::uint64_t>(row.columnInt(12));
    state.settings.country = row.columnText(13);
    state.settings.networkAddress = row.columnText(14);
    return state;
}

void saveState(Store& store, std::string_view instanceId, const DriverState& state) {
    store
        .prepare(
            "INSERT OR REPLACE INTO driver_state(instance_id, starts_seen, radio_on, ssid, infrastructure, "
            "net_band, "
            "privacy, default_key, encryption_alg, keys, bssid, link_since_ms, tx_frames, rx_frames, "
            "country, network_address) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, instanceId)
        .bind(2, state.startsSeen)
        .bind(3, state.radioOn ? 1 : 0)
        .bind(4, state.settings.ssid)
        .bind(5, state.settings.infrastructure ? 1 : 0)
        .bind(6, state.settings.netBand)
        .bind(7, state.settings.privacy ? 1 : 0)
        .bind(8, state.settings.defaultKey)
        .bind(9, state.settings.encryptionAlg)
        .bindBlob(10, packKeys(state.settings))
        .bindBlob(11, state.bssid)
        .bind(12, state.linkSinceMs)
        .bind(13, static_cast<std::int64_t>(state.txFrames))
        .bind(14, static_cast<std::int64_t>(state.rxFrames))
        .bind(15, state.settings.country)
        .bind(16, state.settings.networkAddress)
        .run();
}

}  // namespace sim::driver
