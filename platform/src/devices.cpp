#include "platform/devices.h"

#include <map>
#include <optional>

#include "machine_connection.h"
#include "sim/device_store.h"
#include "sim/registry_store.h"
#include "vessra/common/text.h"

namespace platform::devices {

using detail::guarded;

struct DeviceSet::State {
    std::vector<std::string> instanceIds;
    std::vector<DevInst> devInsts;
    std::map<std::size_t, PropertyChangeParams> changeParams;
};

namespace {

// A snapshot of the present devices (of one class when given), in the machine's device order.
Error snapshot(std::optional<std::string_view> classGuid, std::vector<std::string>& instanceIds,
               std::vector<DevInst>& devInsts) {
    return guarded([&](sim::Store& store) {
        for (const auto& device : sim::dev::presentDevices(store)) {
            if (classGuid && !vessra::equalsIgnoreAsciiCase(device.classGuid, *classGuid))
                continue;
            instanceIds.push_back(device.instanceId);
            devInsts.push_back(static_cast<DevInst>(device.id));
        }
        return Error::Success;
    });
}

}  // namespace

DeviceSet::DeviceSet() = default;
DeviceSet::~DeviceSet() = default;
DeviceSet::DeviceSet(DeviceSet&&) noexcept = default;
DeviceSet& DeviceSet::operator=(DeviceSet&&) noexcept = default;

Error DeviceSet::presentOfClass(std::string_view classGuid, DeviceSet& out) {
    if (classGuid.empty())
        return Error::InvalidParameter;
    auto state = std::make_unique<State>();
    const Error error = snapshot(classGuid, state->instanceIds, state->devInsts);
    if (error == Error::Success)
        out.m_state = std::move(state);
    return error;
}

Error DeviceSet::allPresent(DeviceSet& out) {
    auto state = std::make_unique<State>();
    const Error error = snapshot(std::nullopt, state->instanceIds, state->devInsts);
    if (error == Error::Success)
        out.m_state = std::move(state);
    return error;
}

void DeviceSet::release() {
    m_state.reset();
}

Error DeviceSet::enumDevice(std::size_t index, DeviceInfo& out) const {
    if (!m_state)
        return Error::InvalidHandle;
    if (index >= m_state->instanceIds.size())
        return Error::NoMoreItems;
    out = DeviceInfo{index, m_state->devInsts[index]};
    return Error::Success;
}

namespace {

// The device row behind an entry of the set, as the machine has it now.
Error currentDevice(sim::Store& store, const std::string& instanceId, sim::dev::Device& out) {
    const auto device = sim::dev::findDevice(store, instanceId);
    if (!device || !device->present)
        return Error::NoSuchDevinst;
    out = *device;
    return Error::Success;
}

}  // namespace

Error DeviceSet::instanceId(const DeviceInfo& device, std::size_t maxChars, std::string& out,
                            std::size_t& requiredChars) const {
    if (!m_state)
        return Error::InvalidHandle;
    if (device.index >= m_state->instanceIds.size() || m_state->devInsts[device.index] != device.devInst) {
        return Error::InvalidParameter;
    }
    const std::string& id = m_state->instanceIds[device.index];
    requiredChars = id.size() + 1;
    if (id.size() > maxChars)
        return Error::InsufficientBuffer;
    out = id;
    return Error::Success;
}

Error DeviceSet::instanceId(const DeviceInfo& device, std::string& out) const {
    std::size_t required = 0;
    return instanceId(device, std::string::npos, out, required);
}

Error DeviceSet::registryProperty(const DeviceInfo& device, Property property, std::size_t maxBytes,
                                  std::vector<std::uint8_t>& out, std::size_t& requiredBytes) const {
    std::string id;
    if (Error error = instanceId(device, id); error != Error::Success)
        return error;
    return guarded([&](sim::Store& store) {
        sim::dev::Device row;
        if (Error error = currentDevice(store, id, row); error != Error::Success)
            return error;
        std::vector<std::uint8_t> data;
        if (property == Property::HardwareIds) {
            if (row.hardwareIds.empty())
                return Error::InvalidData;
            data = sim::reg::multiStringData(row.hardwareIds);
        } else {
            if (row.driver.empty())
                return Error::InvalidData;
            data = sim::reg::stringData(row.driver);
        }
        requiredBytes = data.size();
        if (data.size() > maxBytes)
            return Error::InsufficientBuffer;
        out = std::move(data);
        return Error::Success;
    });
}

Error DeviceSet::setPropertyChangeParams(const DeviceInfo& device, const PropertyChangeParams& params) {
    std::string id;
    if (Error error = instanceId(device, id); error != Error::Success)
        return error;
    switch (params.stateChange) {
        case StateChange::Enable:
        case StateChange::Disable:
        case StateChange::PropertyChange:
            break;
        default:
            return Error::InvalidParameter;
    }
    m_state->changeParams[device.index] = params;
    return Error::Success;
}

Error DeviceSet::callClassInstaller(InstallFunction function, const DeviceInfo& device) {
    std::string id;
    if (Error error = instanceId(device, id); error != Error::Success)
        return error;
    std::optional<PropertyChangeParams> params;
    if (function == InstallFunction::PropertyChange) {
        const auto found = m_state->changeParams.find(device.index);
        if (found == m_state->changeParams.end())
            return Error::InvalidParameter;
        params = found->second;
    } else if (function != InstallFunction::Remove) {
        return Error::InvalidParameter;
    }
    return guarded([&](sim::Store& store) {
        sim::Store::Transaction transaction(store);
        sim::dev::Device row;
        if (Error error = currentDevice(store, id, row); error != Error::Success)
            return error;
        if (!params) {
            sim::dev::setPresent(store, id, false);
        } else if (params->stateChange == StateChange::Enable) {
            sim::dev::setEnabled(store, id, true);
        } else if (params->stateChange == StateChange::Disable) {
            sim::dev::setEnabled(store, id, false);
        } else {
            sim::dev::restart(store, id);
        }
        transaction.commit();
        return Error::Success;
    });
}

}  // namespace platform::devices
