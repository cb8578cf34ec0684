#include "device_remover.h"

#include <string>
#include <string_view>
#include <vector>

#include "device_match.h"
#include "platform/devices.h"

namespace dorvane {

namespace {

namespace devices = platform::devices;
using platform::Error;

void reportFailure(std::FILE* out, const char* operation, Error error) {
    const std::string_view message = platform::errorMessage(error);
    if (message.empty()) {
        std::fprintf(out, "%s FAILURE: (0x%08x)\n", operation, static_cast<unsigned>(error));
    } else {
        std::fprintf(out, "%s FAILURE: %.*s\n", operation, static_cast<int>(message.size()), message.data());
    }
}

// The strings of a multi-string list, up to its empty string or the end of the buffer.
std::vector<std::string> listStrings(const std::vector<std::uint8_t>& list) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < list.size() && list[start] != 0) {
        std::size_t end = start;
        while (end < list.size() && list[end] != 0) ++end;
        strings.emplace_back(reinterpret_cast<const char*>(list.data() + start), end - start);
        start = end + 1;
    }
    return strings;
}

// Reads the hardware-identifier list the way the removal always has: ask for the size first, then
// read into a zero-filled buffer of that size. Returns Success, InvalidData (no such property: skip
// the device) or the error to report.
Error readIdentifierList(const devices::DeviceSet& set, const devices::DeviceInfo& device,
                         std::vector<std::uint8_t>& list) {
    std::size_t required = 0;
    Error error = set.registryProperty(device, devices::Property::HardwareIds, 0, list, required);
    if (error != Error::InsufficientBuffer)
        return error;
    list.assign(required, 0);
    return set.registryProperty(device, devices::Property::HardwareIds, required, list, required);
}

}  // namespace

void removeAdapterDevices(std::FILE* out) {
    devices::DeviceSet set;
    if (Error error = devices::DeviceSet::allPresent(set); error != Error::Success) {
        reportFailure(out, "GetClassDevs(All Present Devices)", error);
        return;
    }
    devices::DeviceInfo device;
    Error enumeration = Error::Success;
    for (std::size_t index = 0; (enumeration = set.enumDevice(index, device)) == Error::Success; ++index) {
        std::vector<std::uint8_t> list;
        const Error read = readIdentifierList(set, device, list);
        if (read == Error::InvalidData)
            continue;
        if (read != Error::Success) {
            reportFailure(out, "GetDeviceRegistryProperty", read);
            return;
        }
        for (const std::string& id : listStrings(list)) {
            std::fprintf(out, "Compare device ID: [%s]\n", id.c_str());
            if (id != installer::kAdapterHardwareId)
                continue;
            std::fprintf(out, "Found! [%s]\n", id.c_str());
            if (Error error = set.callClassInstaller(devices::InstallFunction::Remove, device);
                error != Error::Success) {
                reportFailure(out, "CallClassInstaller(REMOVE)", error);
            }
            break;  // on with the next device
        }
    }
    if (enumeration != Error::NoMoreItems)
        reportFailure(out, "EnumDeviceInfo", enumeration);
}

}  // namespace dorvane
