#include "association.h"

#include "vessra/common/text.h"

namespace sim::driver {

namespace {

// 5 GHz (including the 4.9 GHz Japanese channels) networks need the 802.11a bit.
constexpr std::uint32_t kFiveGhzFloorKhz = 4'900'000;
// Traffic while associated, frames per second each way.
constexpr std::uint64_t kSentPerSecond = 12;
constexpr std::uint64_t kReceivedPerSecond = 31;

std::int64_t millis(Clock::time_point now) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
}

bool nameFits(const std::string& wanted, const radio::Network& network) {
    if (wanted.empty() || vessra::equalsIgnoreAsciiCase(wanted, "any"))
        return true;
    return wanted == network.ssid;
}

bool bandFits(std::uint32_t netBand, const radio::Network& network) {
    if (network.frequencyKhz >= kFiveGhzFloorKhz) {
        if (!(netBand & kBand11a))
            return false;
        return !(network.flags & kFlagTurbo) || (netBand & kBandTurbo);
    }
    // 802.11g access points also serve 802.11b stations (at 802.11b rates).
    return (netBand & kBand11b) != 0;
}

bool securityFits(const StationSettings& settings, const radio::Network& network) {
    if (network.security == radio::Security::Open)
        return !settings.privacy;
    if (!settings.privacy || settings.defaultKey >= kKeySlots)
        return false;
    if (network.security == radio::Security::Wep && settings.encryptionAlg == kAlgAes)
        return false;
    if (network.security == radio::Security::Aes && settings.encryptionAlg == kAlgWep)
        return false;
    const auto& key = settings.keys[settings.defaultKey];
    return !key.empty() && key == network.key;
}

}  // namespace

bool radioOn(Store& store, const DriverState& state) {
    return state.radioOn && store.setting("radio_key").value_or("on") != "off";
}

bool fits(const StationSettings& settings, const radio::Network& network) {
    return radio::inRange(network) && nameFits(settings.ssid, network) &&
           settings.infrastructure == network.infrastructure && bandFits(settings.netBand, network) &&
           securityFits(settings, network);
}

void dropLink(DriverState& state, Clock::time_point now) {
    state.txFrames = framesSent(state, now);
    state.rxFrames = framesReceived(state, now);
    state.bssid.clear();
    state.linkSinceMs = millis(now);
}

void associate(Store& store, DriverState& state, Clock::time_point now) {
    dropLink(state, now);
    if (!radioOn(store, state))
        return;
    std::optional<radio::Network> best;
    std::int32_t bestRssi = 0;
    for (radio::Network& network : radio::allNetworks(store)) {
        if (!fits(state.settings, network))
            continue;
        const std::int32_t rssi = radio::currentRssi(network, now);
        if (!best || rssi > bestRssi) {
            bestRssi = rssi;
            best = std::move(network);
        }
    }
    if (best)
        state.bssid = best->bssid;
}

void refreshAssociation(Store& store, DriverState& state, Clock::time_point now) {
    if (!state.bssid.empty()) {
        const auto network = joinedNetwork(store, state);
        if (radioOn(store, state) && network && fits(state.settings, *network))
            return;
        dropLink(state, now);
    }
    associate(store, state, now);
}

std::optional<radio::Network> joinedNetwork(Store& store, const DriverState& state) {
    if (state.bssid.empty())
        return std::nullopt;
    return radio::networkByBssid(store, state.bssid);
}

std::uint32_t linkCipher(const radio::Network& network) {
    switch (network.security) {
        case radio::Security::Wep:
            return kCipherWep;
        case radio::Security::Aes:
            return kCipherAes;
        default:
            return kCipherNone;
    }
}

std::uint32_t linkRateMbps(const StationSettings& settings, const radio::Network& network) {
    if (network.frequencyKhz >= kFiveGhzFloorKhz)
        return (network.flags & kFlagTurbo) ? 108 : 54;
    return ((network.flags & kFlag11g) && (settings.netBand & kBand11g)) ? 54 : 11;
}

namespace {

// A counter that advances at `perSecond` frames while the link is up, from `base` at link start.
std::uint64_t framesWhileLinked(const DriverState& state, Clock::time_point now, std::uint64_t base,
                                std::uint64_t perSecond) {
    if (state.bssid.empty())
        return base;
    const auto elapsed =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, millis(now) - state.linkSinceMs));
    return base + elapsed * perSecond / 1000;
}

}  // namespace

std::uint64_t framesSent(const DriverState& state, Clock::time_point now) {
    return framesWhileLinked(state, now, state.txFrames, kSentPerSecond);
}

std::uint64_t framesReceived(const DriverState& state, Clock::time_point now) {
    return framesWhileLinked(state, now, state.rxFrames, kReceivedPerSecond);
}

}  // namespace sim::driver
