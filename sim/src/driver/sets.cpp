// Applying set requests: radio, network name and mode, the configuration record, country code.

#include <algorithm>

#include "requests.h"
#include "sim/driver_keys.h"
#include "sim/driver_oids.h"
#include "vessra/common/bytes.h"

namespace sim::driver {

namespace {

// The layout needs `size` bytes: fail with `needed` set, or count them as read.
bool accept(Request& request, std::span<const std::uint8_t> buffer, std::size_t size) {
    request.needed = static_cast<std::uint32_t>(size);
    if (buffer.size() < size)
        return false;
    request.transferred = static_cast<std::uint32_t>(size);
    return true;
}

std::string fieldText(std::span<const std::uint8_t> buffer, std::size_t offset, std::size_t width) {
    return vessra::readCString(buffer.subspan(offset, width), 0);
}

// Wireless modes of the record (4 b, 3 a, 7 both) replace the band base; the turbo, 54 Mbps and
// range bits come from the parameters, which the record does not carry.
std::uint32_t bandFromModes(std::uint32_t modes, std::uint32_t current) {
    const std::uint32_t extras = current & ~kBandBaseMask;
    switch (modes) {
        case 4:
            return extras | kBand11b;
        case 3:
            return extras | kBand11a;
        case 7:
            return extras | kBand11a | kBand11b;
        default:
            return current;
    }
}

Status applyConfiguration(RequestContext& context, std::span<const std::uint8_t> record) {
    using namespace config;
    StationSettings settings = context.state.settings;
    const std::string cardId = fieldText(record, kCardId, kCardIdWidth);
    const std::string ssid = fieldText(record, kSsid, kSsidWidth);
    const std::size_t ssidLength = std::min<std::size_t>(vessra::readLe32(record, kSsidLength), ssid.size());
    settings.ssid = ssid.substr(0, std::min(ssidLength, kSsidMaxLength));
    const std::uint32_t bssType = vessra::readLe32(record, kBssType);
    if (bssType == 1 || bssType == 2)
        settings.infrastructure = bssType == 1;
    settings.privacy = record[kSecurity] != 0;
    settings.defaultKey = vessra::readLe32(record, kDefaultKey);
    for (std::size_t slot = 0; slot < kKeySlots; ++slot) {
        const std::uint32_t length = vessra::readLe32(record, kKeyLengths + 4 * slot);
        if (length > kKeyWidth)
            return Status::InvalidParameter;
        settings.keys[slot] =
            length == 0 ? std::vector<std::uint8_t>{}
                        : unsealKeyBytes(record.subspan(kKeys + kKeyWidth * slot, kKeyWidth), cardId, length);
    }
    settings.netBand = bandFromModes(vessra::readLe32(record, kWirelessModes), settings.netBand);
    context.state.settings = std::move(settings);
    associate(context.store, context.state, context.now);
    return Status::Success;
}

}  // namespace

Status applySet(RequestContext& context, Request& request, std::span<const std::uint8_t> buffer) {
    DriverState& state = context.state;
    switch (request.oid) {
        case OID_VENDOR_RADIO:
            if (!accept(request, buffer, 4))
                return Status::InsufficientBuffer;
            state.radioOn = vessra::readLe32(buffer, 0) != 0;
            associate(context.store, state, context.now);
            return Status::Success;
        case OID_802_11_SSID: {
            if (!accept(request, buffer, kSsidRecordSize))
                return Status::InsufficientBuffer;
            const std::uint32_t length = vessra::readLe32(buffer, 0);
            if (length > kSsidMaxLength)
                return Status::InvalidParameter;
            state.settings.ssid.assign(reinterpret_cast<const char*>(buffer.data() + kSsidTextOffset),
                                       length);
            associate(context.store, state, context.now);
            return Status::Success;
        }
        case OID_802_11_INFRASTRUCTURE_MODE: {
            if (!accept(request, buffer, 4))
                return Status::InsufficientBuffer;
            const std::uint32_t mode = vessra::readLe32(buffer, 0);
            if (mode > 1)
                return Status::InvalidParameter;
            state.settings.infrastructure = mode == 1;
            associate(context.store, state, context.now);
            return Status::Success;
        }
        case OID_VENDOR_CONFIGURATION:
            if (!accept(request, buffer, config::kSize))
                return Status::InsufficientBuffer;
            return applyConfiguration(context, buffer);
        case OID_VENDOR_COUNTRY_CODE:
            if (!accept(request, buffer, 3))
                return Status::InsufficientBuffer;
            state.settings.country = {static_cast<char>(buffer[1]), static_cast<char>(buffer[0])};
            return Status::Success;
        case OID_VENDOR_PRE_JOIN:
        case OID_VENDOR_IDLE_NOTICE:
            // Notices only: the station keeps its link.
            return accept(request, buffer, 4) ? Status::Success : Status::InsufficientBuffer;
        default:
            return Status::NotSupported;
    }
}

}  // namespace sim::driver
