#include "device_match.h"

#include <algorithm>

namespace installer {

platform::Error readHardwareIds(const platform::devices::DeviceSet& set,
                                const platform::devices::DeviceInfo& device, std::vector<std::uint8_t>& out) {
    // The doubling stops at a size no identifier list comes near, so a machine that keeps saying
    // "too small" cannot hold the caller forever.
    constexpr std::size_t kLargestBuffer = std::size_t{1} << 20;
    for (std::size_t capacity = 520; capacity <= kLargestBuffer; capacity *= 2) {
        std::size_t required = 0;
        const platform::Error error =
            set.registryProperty(device, platform::devices::Property::HardwareIds, capacity, out, required);
        if (error != platform::Error::InsufficientBuffer)
            return error;
    }
    return platform::Error::InsufficientBuffer;
}

bool firstStringContains(std::span<const std::uint8_t> list, std::string_view id) {
    const auto end = std::find(list.begin(), list.end(), std::uint8_t{0});
    const std::string_view first(reinterpret_cast<const char*>(list.data()),
                                 static_cast<std::size_t>(end - list.begin()));
    return first.find(id) != std::string_view::npos;
}

}  // namespace installer
