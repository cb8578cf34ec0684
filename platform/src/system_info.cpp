#include "platform/system_info.h"

#include <cstdio>
#include <random>

#include "machine_connection.h"
#include "sim/machine.h"

namespace platform::system {

using detail::guarded;

Error versionInfo(VersionInfo& out) {
    return guarded([&](sim::Store& store) {
        const auto kind = sim::machineSystem(store);
        if (!kind)
            return Error::InternalError;
        const sim::SystemVersion version = sim::systemVersion(*kind);
        out = VersionInfo{version.ntPlatform ? Platform::NT : Platform::Windows9x, version.major,
                          version.minor, version.build, version.servicePack};
        return Error::Success;
    });
}

Error defaultLanguageHex(std::string& out) {
    return guarded([&](sim::Store& store) {
        out = store.setting(sim::kLanguageSetting).value_or("0409");
        return Error::Success;
    });
}

Error computerName(std::string& out) {
    return guarded([&](sim::Store& store) {
        out = store.setting(sim::kComputerNameSetting).value_or("");
        return Error::Success;
    });
}

Guid newGuid() {
    std::random_device source;  // the kernel's random source
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const std::uint32_t word = source();
        for (std::size_t k = 0; k < 4; ++k) bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    Guid guid;
    guid.data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
                 static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
    guid.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    // Version 4 (random) and the standard variant.
    guid.data3 = static_cast<std::uint16_t>(((bytes[6] & 0x0F) | 0x40) << 8 | bytes[7]);
    for (std::size_t i = 0; i < 8; ++i) guid.data4[i] = bytes[8 + i];
    guid.data4[0] = static_cast<std::uint8_t>((guid.data4[0] & 0x3F) | 0x80);
    return guid;
}

std::string guidText(const Guid& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", guid.data1,
                  guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3],
                  guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
    return text;
}

}  // namespace platform::system
