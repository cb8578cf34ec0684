#pragma once
// Device installation and the configuration manager of the machine: device sets, their properties,
// the class installer, device nodes by instance identifier, and notices of device-tree changes.
//
// Contract (what callers rely on):
// - A DeviceSet is a snapshot of the present devices (of one class or of all classes) taken when it is
//   made, in the machine's device order. Enumeration by index from 0 ends with Error::NoMoreItems.
//   Operations on a device act on the machine as it is at the call: a device removed since the set
//   was taken fails with Error::NoSuchDevinst.
// - Property reads honour the caller's buffer limit: data larger than `maxBytes` fails with
//   Error::InsufficientBuffer and still reports the size needed in `requiredBytes`. A device without
//   the property fails with Error::InvalidData. HardwareIds is REG_MULTI_SZ bytes (each string with
//   its NUL, then a final NUL); Driver is REG_SZ bytes ("{class guid}\NNNN" and its NUL).
// - The class installer: a property change needs its parameters set first (setPropertyChangeParams);
//   enable, disable and property-change restart take effect at once; remove takes the device out of
//   the machine (it is no longer present).
// - Handles are value types that close themselves; every call on a released handle fails with
//   Error::InvalidHandle and changes nothing.
// - Configuration-manager calls answer with ConfigResult numbers (CR_SUCCESS = 0, ...), as the
//   exported wrappers pass them on unchanged.
// - Every change of the device tree, made by any process, reaches each live DeviceChangeWatch of this
//   process as one call of its receiver within half a second (several quick changes may fold into one
//   call). The receiver runs on the watch's own thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace platform::devices {

inline constexpr std::string_view kNetClassGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

// A device node of the configuration manager (never 0 for a real node).
using DevInst = std::uint32_t;

enum class Property { HardwareIds, Driver };

// What a property change asks of the device (the numbers of the class-installer parameters).
// Enable and disable change the device's configuration; PropertyChange restarts the device.
enum class StateChange : std::uint32_t { Enable = 1, Disable = 2, PropertyChange = 3 };
enum class ChangeScope : std::uint32_t { Global = 1, ConfigSpecific = 2, ConfigGeneral = 4 };

struct PropertyChangeParams {
    StateChange stateChange = StateChange::PropertyChange;
    ChangeScope scope = ChangeScope::ConfigSpecific;
    std::uint32_t hardwareProfile = 0;  // 0 = the current hardware profile
};

// Class-installer functions (the numbers the installer knows them by).
enum class InstallFunction : std::uint32_t { Remove = 0x05, PropertyChange = 0x12 };

// One device of a set, as enumeration hands it out.
struct DeviceInfo {
    std::size_t index = 0;
    DevInst devInst = 0;
};

class DeviceSet {
  public:
    DeviceSet();
    ~DeviceSet();
    DeviceSet(DeviceSet&&) noexcept;
    DeviceSet& operator=(DeviceSet&&) noexcept;
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;

    // Present devices of the class whose GUID text ("{...}", any case) is given.
    static Error presentOfClass(std::string_view classGuid, DeviceSet& out);
    // Present devices of every class.
    static Error allPresent(DeviceSet& out);

    bool isOpen() const { return m_state != nullptr; }
    // Releases the set; later calls fail with InvalidHandle.
    void release();

    // The device at `index`; Error::NoMoreItems past the last one.
    Error enumDevice(std::size_t index, DeviceInfo& out) const;

    // The device instance identifier (e.g. "PCI\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01\4&...").
    // maxChars counts the characters without the terminating NUL; a longer identifier fails with
    // InsufficientBuffer and reports its length plus one (room for the NUL) in requiredChars.
    Error instanceId(const DeviceInfo& device, std::size_t maxChars, std::string& out,
                     std::size_t& requiredChars) const;
    // The same without a limit.
    Error instanceId(const DeviceInfo& device, std::string& out) const;

    Error registryProperty(const DeviceInfo& device, Property property, std::size_t maxBytes,
                           std::vector<std::uint8_t>& out, std::size_t& requiredBytes) const;

    // Parameters for the next InstallFunction::PropertyChange call on that device.
    Error setPropertyChangeParams(const DeviceInfo& device, const PropertyChangeParams& params);
    Error callClassInstaller(InstallFunction function, const DeviceInfo& device);

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Configuration-manager results (CR_* numbers).
enum class ConfigResult : std::uint32_t {
    Success = 0x00,
    InvalidPointer = 0x03,
    InvalidFlag = 0x04,
    InvalidDevNode = 0x05,
    NoSuchDevNode = 0x0D,
    Failure = 0x13,
    InvalidDeviceId = 0x1E,
};

// Flags of locateDevNode.
inline constexpr std::uint32_t kLocateNormal = 0x0;
inline constexpr std::uint32_t kLocatePhantom = 0x1;  // also find nodes that are not present
// Flags of reenumerateDevNode.
inline constexpr std::uint32_t kReenumerateNormal = 0x0;
inline constexpr std::uint32_t kReenumerateSynchronous = 0x1;

// Devnode status bits and problem numbers.
inline constexpr std::uint32_t kStatusDriverLoaded = 0x0002;
inline constexpr std::uint32_t kStatusStarted = 0x0008;
inline constexpr std::uint32_t kStatusHasProblem = 0x0400;
inline constexpr std::uint32_t kStatusDisableable = 0x2000;
inline constexpr std::uint32_t kProblemDisabled = 22;

// The root of the device tree, which locateDevNode returns for an empty or null identifier.
inline constexpr DevInst kRootDevInst = 0x7FFFFFFF;

// Finds the device node with the instance identifier (case-insensitive). Only present nodes are found
// unless kLocatePhantom is given; NoSuchDevNode otherwise. A null pointer for `devInst` gives
// InvalidPointer; unknown flag bits give InvalidFlag.
ConfigResult locateDevNode(DevInst* devInst, const char* deviceId, std::uint32_t flags);
// Asks the node's bus to enumerate it again (the simulated buses find nothing new): an unknown node
// fails with InvalidDevNode, a node that is not present with NoSuchDevNode.
ConfigResult reenumerateDevNode(DevInst devInst, std::uint32_t flags);
// Status bits and problem number of a present node (problem 22 while disabled).
ConfigResult devNodeStatus(DevInst devInst, std::uint32_t& status, std::uint32_t& problem);

// Calls `receiver` on a background thread whenever the device tree changed (any process), within
// half a second. Destroying the watch stops its thread before returning; after that no call happens.
// The receiver must not throw and should return quickly (hand the notice to another thread).
class DeviceChangeWatch {
  public:
    explicit DeviceChangeWatch(std::function<void()> receiver);
    ~DeviceChangeWatch();
    DeviceChangeWatch(const DeviceChangeWatch&) = delete;
    DeviceChangeWatch& operator=(const DeviceChangeWatch&) = delete;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace platform::devices
