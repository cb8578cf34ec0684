// The replies to queries, each with the layout of the OID catalogue.

#include <algorithm>
#include <cstring>

#include "requests.h"
#include "sim/driver_oids.h"
#include "sim/net_card.h"
#include "vessra/common/bytes.h"

namespace sim::driver {

namespace {

std::uint32_t size32(std::size_t size) {
    return static_cast<std::uint32_t>(size);
}

// The layout needs `size` bytes: fail with `needed` set, or clear the reply area.
bool reserve(Request& request, std::span<std::uint8_t> buffer, std::size_t size) {
    request.needed = size32(size);
    if (buffer.size() < size)
        return false;
    std::fill_n(buffer.begin(), size, std::uint8_t{0});
    request.transferred = size32(size);
    return true;
}

void writeScanEntry(std::span<std::uint8_t> entry, const radio::Network& network, Clock::time_point now) {
    using namespace scan;
    std::fill(entry.begin(), entry.end(), std::uint8_t{0});
    vessra::writeLe32(entry, kLength, size32(kEntrySize));
    std::copy_n(network.bssid.begin(), std::min<std::size_t>(network.bssid.size(), kMacSize),
                entry.begin() + kBssid);
    const std::size_t ssidLength = std::min(network.ssid.size(), kSsidMaxLength);
    vessra::writeLe32(entry, kSsidLength, size32(ssidLength));
    std::memcpy(entry.data() + kSsid, network.ssid.data(), ssidLength);
    vessra::writeLe32(entry, kPrivacy, network.security == radio::Security::Open ? 0 : 1);
    vessra::writeLe32(entry, kRssi, static_cast<std::uint32_t>(radio::currentRssi(network, now)));
    const bool fiveGhz = network.frequencyKhz >= 4'900'000;
    vessra::writeLe32(entry, kNetworkType, fiveGhz ? 2 : ((network.flags & kFlag11g) ? 3 : 1));
    vessra::writeLe32(entry, kConfigLength, 32);
    vessra::writeLe32(entry, kBeaconPeriod, 100);
    vessra::writeLe32(entry, kFrequency, network.frequencyKhz);
    vessra::writeLe32(entry, kChannelFlags, network.flags);
    vessra::writeLe32(entry, kMode, network.infrastructure ? 1 : 0);
    // Supported rates in 500 kb/s units, the basic ones marked with 0x80.
    static constexpr std::uint8_t kRatesB[8] = {0x82, 0x84, 0x8B, 0x96, 0, 0, 0, 0};
    static constexpr std::uint8_t kRatesOfdm[8] = {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C};
    const bool ofdm = fiveGhz || (network.flags & kFlag11g);
    std::copy_n(ofdm ? kRatesOfdm : kRatesB, 8, entry.begin() + kRates);
}

Status scanList(RequestContext& context, Request& request, std::span<std::uint8_t> buffer) {
    std::vector<radio::Network> heard;
    if (radioOn(context.store, context.state)) {
        for (radio::Network& network : radio::allNetworks(context.store)) {
            if (radio::inRange(network))
                heard.push_back(std::move(network));
        }
    }
    request.needed = size32(kScanCountSize + heard.size() * scan::kEntrySize);
    if (buffer.size() < kScanCountSize)
        return Status::InsufficientBuffer;
    const std::size_t room = (buffer.size() - kScanCountSize) / scan::kEntrySize;
    const std::size_t written = std::min(room, heard.size());
    vessra::writeLe32(buffer, 0, size32(written));
    for (std::size_t i = 0; i < written; ++i) {
        writeScanEntry(buffer.subspan(kScanCountSize + i * scan::kEntrySize, scan::kEntrySize), heard[i],
                       context.now);
    }
    request.transferred = size32(kScanCountSize + written * scan::kEntrySize);
    return Status::Success;
}

std::vector<std::uint8_t> macAddress(const RequestContext& context) {
    vessra::Bytes configured;
    if (vessra::parseHex(context.state.settings.networkAddress, configured) &&
        configured.size() == kMacSize) {
        return configured;
    }
    // The card's burned-in address, the same one the system's adapter list reports.
    vessra::Bytes burnedIn;
    if (const auto text = net::macAddress(context.store, context.card.deviceInstanceId);
        text && vessra::parseHex(*text, burnedIn) && burnedIn.size() == kMacSize) {
        return burnedIn;
    }
    // A card the machine keeps no address for: a locally administered one derived from its instance.
    std::uint32_t hash = 2166136261u;
    for (char c : context.card.deviceInstanceId) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return {0x02,
            0x00,
            0x4C,
            static_cast<std::uint8_t>(hash >> 16),
            static_cast<std::uint8_t>(hash >> 8),
            static_cast<std::uint8_t>(hash)};
}

}  // namespace

Status answerQuery(RequestContext& context, Request& request, std::span<std::uint8_t> buffer) {
    const auto network =
        radioOn(context.store, context.state) ? joinedNetwork(context.store, context.state) : std::nullopt;
    switch (request.oid) {
        case OID_VENDOR_SCAN_LIST:
            return scanList(context, request, buffer);
        case OID_VENDOR_CURRENT_CHANNEL:
            if (!reserve(request, buffer, kChannelRecordSize))
                return Status::InsufficientBuffer;
            if (!network) {
                request.transferred = 0;  // no channel while not associated
                return Status::Success;
            }
            vessra::writeLe32(buffer, kChannelFrequencyOffset, network->frequencyKhz);
            return Status::Success;
        case OID_VENDOR_RSSI:
            if (!reserve(request, buffer, 4))
                return Status::InsufficientBuffer;
            vessra::writeLe32(buffer, 0,
                              static_cast<std::uint32_t>(network ? radio::currentRssi(*network, context.now)
                                                                 : kNoSignalDbm));
            return Status::Success;
        case OID_VENDOR_LINK_CIPHER_RATE:
            if (!reserve(request, buffer, 8))
                return Status::InsufficientBuffer;
            if (network) {
                vessra::writeLe32(buffer, 0, linkCipher(*network));
                vessra::writeLe32(buffer, 4, linkRateMbps(context.state.settings, *network));
            }
            return Status::Success;
        case OID_VENDOR_RADIO:
            if (!reserve(request, buffer, 4))
                return Status::InsufficientBuffer;
            vessra::writeLe32(buffer, 0, radioOn(context.store, context.state) ? 1 : 0);
            return Status::Success;
        case OID_802_11_BSSID:
            if (!reserve(request, buffer, kMacSize))
                return Status::InsufficientBuffer;
            if (network)
                std::copy_n(network->bssid.begin(), kMacSize, buffer.begin());
            return Status::Success;
        case OID_802_11_SSID:
            if (!reserve(request, buffer, kSsidRecordSize))
                return Status::InsufficientBuffer;
            if (network) {
                const std::size_t length = std::min(network->ssid.size(), kSsidMaxLength);
                vessra::writeLe32(buffer, 0, size32(length));
                std::memcpy(buffer.data() + kSsidTextOffset, network->ssid.data(), length);
            }
            return Status::Success;
        case OID_802_11_INFRASTRUCTURE_MODE:
            if (!reserve(request, buffer, 4))
                return Status::InsufficientBuffer;
            vessra::writeLe32(buffer, 0, context.state.settings.infrastructure ? 1 : 0);
            return Status::Success;
        case OID_802_3_CURRENT_ADDRESS: {
            if (!reserve(request, buffer, kMacSize))
                return Status::InsufficientBuffer;
            const auto mac = macAddress(context);
            std::copy(mac.begin(), mac.end(), buffer.begin());
            return Status::Success;
        }
        case OID_GEN_XMIT_OK:
        case OID_GEN_RCV_OK: {
            if (!reserve(request, buffer, 4))
                return Status::InsufficientBuffer;
            const std::uint64_t frames = request.oid == OID_GEN_XMIT_OK
                                             ? framesSent(context.state, context.now)
                                             : framesReceived(context.state, context.now);
            vessra::writeLe32(buffer, 0, static_cast<std::uint32_t>(frames));
            return Status::Success;
        }
        default:
            return Status::NotSupported;
    }
}

}  // namespace sim::driver
