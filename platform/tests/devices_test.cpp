#include "platform/devices.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/tovrin.h"
#include "sim/device_store.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace platform::devices {
namespace {

constexpr std::string_view kAdapterId = "PCI\\VEN_168C&DEV_0012&SUBSYS_7C3A5E21&REV_01";

std::vector<std::string> instanceIds(const DeviceSet& set) {
    std::vector<std::string> ids;
    DeviceInfo info;
    std::size_t index = 0;
    Error error;
    while ((error = set.enumDevice(index, info)) == Error::Success) {
        std::string id;
        EXPECT_EQ(set.instanceId(info, id), Error::Success);
        ids.push_back(id);
        ++index;
    }
    EXPECT_EQ(error, Error::NoMoreItems);
    return ids;
}

// The first device of the set whose first hardware id is the adapter's.
DeviceInfo findAdapter(const DeviceSet& set) {
    DeviceInfo info;
    for (std::size_t i = 0; set.enumDevice(i, info) == Error::Success; ++i) {
        std::vector<std::uint8_t> data;
        std::size_t required = 0;
        if (set.registryProperty(info, Property::HardwareIds, 1024, data, required) != Error::Success)
            continue;
        if (registry::multiStringsOf(data).front() == kAdapterId)
            return info;
    }
    ADD_FAILURE() << "no adapter";
    return info;
}

TEST(Devices, SetsEnumerateTheClassOrEverythingAndPropertiesHonourTheBufferLimit) {
    testsupport::ScratchMachine machine;
    DeviceSet net;
    ASSERT_EQ(DeviceSet::presentOfClass("{4d36e972-e325-11ce-bfc1-08002be10318}", net), Error::Success);
    const auto ids = instanceIds(net);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_TRUE(ids[1].starts_with(std::string(kAdapterId) + "\\")) << ids[1];
    DeviceSet all;
    ASSERT_EQ(DeviceSet::allPresent(all), Error::Success);
    EXPECT_EQ(instanceIds(all), ids);
    DeviceSet none;
    ASSERT_EQ(DeviceSet::presentOfClass("{00000000-0000-0000-0000-000000000000}", none), Error::Success);
    EXPECT_TRUE(instanceIds(none).empty());

    const DeviceInfo adapter = findAdapter(net);
    std::vector<std::uint8_t> data{9};
    std::size_t required = 0;
    EXPECT_EQ(net.registryProperty(adapter, Property::HardwareIds, 10, data, required),
              Error::InsufficientBuffer);
    EXPECT_EQ(data, std::vector<std::uint8_t>{9});  // untouched
    ASSERT_GT(required, 10u);
    EXPECT_EQ(net.registryProperty(adapter, Property::HardwareIds, required, data, required), Error::Success);
    EXPECT_EQ(data.size(), required);
    EXPECT_EQ(data.back(), 0);
    EXPECT_EQ(registry::multiStringsOf(data).size(), 4u);
    EXPECT_EQ(net.registryProperty(adapter, Property::Driver, 520, data, required), Error::Success);
    EXPECT_EQ(registry::textOf(data), std::string(kNetClassGuid) + "\\0001");

    std::string id;
    std::size_t requiredChars = 0;
    EXPECT_EQ(net.instanceId(adapter, 0, id, requiredChars), Error::InsufficientBuffer);
    EXPECT_EQ(requiredChars, ids[1].size() + 1);
}

TEST(Devices, ClassInstallerDisablesEnablesRestartsAndRemoves) {
    testsupport::ScratchMachine machine;
    auto store = machine.open();
    DeviceSet set;
    ASSERT_EQ(DeviceSet::presentOfClass(kNetClassGuid, set), Error::Success);
    const DeviceInfo adapter = findAdapter(set);
    std::string id;
    ASSERT_EQ(set.instanceId(adapter, id), Error::Success);

    EXPECT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::InvalidParameter);
    ASSERT_EQ(set.setPropertyChangeParams(adapter, {StateChange::Disable, ChangeScope::ConfigSpecific, 0}),
              Error::Success);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::Success);
    std::uint32_t status = 0, problem = 0;
    ASSERT_EQ(My_CM_Get_DevNode_Status(&status, &problem, adapter.devInst, 0), 1);
    EXPECT_NE(status & kStatusHasProblem, 0u);
    EXPECT_EQ(problem, 22u);

    const auto startsBefore = sim::dev::findDevice(*store, id)->starts;
    ASSERT_EQ(set.setPropertyChangeParams(adapter, {StateChange::Enable, ChangeScope::ConfigSpecific, 0}),
              Error::Success);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::Success);
    ASSERT_EQ(My_CM_Get_DevNode_Status(&status, &problem, adapter.devInst, 0), 1);
    EXPECT_EQ(status & kStatusHasProblem, 0u);
    ASSERT_EQ(
        set.setPropertyChangeParams(adapter, {StateChange::PropertyChange, ChangeScope::ConfigSpecific, 0}),
        Error::Success);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::Success);
    EXPECT_EQ(sim::dev::findDevice(*store, id)->starts, startsBefore + 2);

    DevInst node = 0;
    EXPECT_EQ(locateDevNode(&node, id.c_str(), kLocateNormal), ConfigResult::Success);
    EXPECT_EQ(node, adapter.devInst);
    EXPECT_EQ(reenumerateDevNode(node, 0), ConfigResult::Success);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::Remove, adapter), Error::Success);
    EXPECT_EQ(locateDevNode(&node, id.c_str(), kLocateNormal), ConfigResult::NoSuchDevNode);
    EXPECT_EQ(locateDevNode(&node, id.c_str(), kLocatePhantom), ConfigResult::Success);
    EXPECT_EQ(reenumerateDevNode(node, 0), ConfigResult::NoSuchDevNode);
    EXPECT_EQ(My_CM_Get_DevNode_Status(&status, &problem, adapter.devInst, 0), 0);
    EXPECT_EQ(locateDevNode(&node, "PCI\\VEN_FFFF\\0", kLocateNormal), ConfigResult::NoSuchDevNode);
    EXPECT_EQ(locateDevNode(nullptr, id.c_str(), 0), ConfigResult::InvalidPointer);
    EXPECT_EQ(locateDevNode(&node, id.c_str(), 0x80), ConfigResult::InvalidFlag);

    // The old set still lists the device but every operation on it fails; a new set leaves it out.
    std::vector<std::uint8_t> data;
    std::size_t required = 0;
    EXPECT_EQ(set.registryProperty(adapter, Property::HardwareIds, 1024, data, required),
              Error::NoSuchDevinst);
    EXPECT_EQ(set.callClassInstaller(InstallFunction::Remove, adapter), Error::NoSuchDevinst);
    DeviceSet after;
    ASSERT_EQ(DeviceSet::presentOfClass(kNetClassGuid, after), Error::Success);
    EXPECT_EQ(instanceIds(after).size(), 1u);

    set.release();
    DeviceInfo info;
    EXPECT_EQ(set.enumDevice(0, info), Error::InvalidHandle);
    EXPECT_EQ(set.callClassInstaller(InstallFunction::Remove, adapter), Error::InvalidHandle);
}

TEST(Devices, DynamicEntriesOfWindows98FollowTheDeviceNode) {
    testsupport::ScratchMachine machine({sim::SystemKind::Windows98SE, sim::AdapterSetup::Present, true});
    auto problemOfAdapter = []() -> int {
        registry::Key enumKey;
        EXPECT_EQ(registry::Key::open(registry::Hive::DynData, "Config Manager\\Enum", registry::Access::Read,
                                      enumKey),
                  Error::Success);
        std::string name;
        for (std::size_t i = 0; enumKey.subkeyAt(i, name) == Error::Success; ++i) {
            registry::Key entry;
            enumKey.openSub(name, registry::Access::Read, entry);
            std::string hardwareKey;
            entry.readString("HardWareKey", 128, hardwareKey);
            if (hardwareKey.find("PCI\\VEN_168C") == std::string::npos)
                continue;
            registry::Value problem;
            EXPECT_EQ(entry.queryValue("Problem", 32, problem), Error::Success);
            return problem.data.at(0);
        }
        return -1;  // no entry
    };
    EXPECT_EQ(problemOfAdapter(), 0);
    DeviceSet set;
    ASSERT_EQ(DeviceSet::allPresent(set), Error::Success);
    const DeviceInfo adapter = findAdapter(set);
    ASSERT_EQ(set.setPropertyChangeParams(adapter, {StateChange::Disable, ChangeScope::ConfigSpecific, 0}),
              Error::Success);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::Success);
    EXPECT_EQ(problemOfAdapter(), 22);
    ASSERT_EQ(set.callClassInstaller(InstallFunction::Remove, adapter), Error::Success);
    EXPECT_EQ(problemOfAdapter(), -1);
}

// Waits up to `limit` for the counter to reach `target`; returns how long it took.
std::chrono::milliseconds waitFor(const std::atomic<int>& counter, int target,
                                  std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (counter.load() < target && std::chrono::steady_clock::now() - start < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

TEST(Devices, ADeviceChangeBySimhostInAnotherProcessArrivesWithinHalfASecond) {
    testsupport::ScratchMachine machine;
    std::atomic<int> notices{0};
    DeviceChangeWatch watch([&] { ++notices; });

    // A registry write is not a device change.
    registry::Key key;
    ASSERT_EQ(registry::Key::create(registry::Hive::LocalMachine, "SOFTWARE\\Test", key), Error::Success);
    ASSERT_EQ(key.setDword("x", 1), Error::Success);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(notices.load(), 0);

    const std::map<std::string, std::string> environment{{"SIMHOST_MACHINE", machine.file().string()}};
    for (const char* action : {"disable", "enable", "remove", "insert"}) {
        SCOPED_TRACE(action);
        const int before = notices.load();
        const auto result = testsupport::runProgram(SIMHOST_PATH, {"device", action}, environment);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto waited = waitFor(notices, before + 1, std::chrono::milliseconds(2000));
        EXPECT_GT(notices.load(), before);
        EXPECT_LE(waited.count(), 500);
        RecordProperty(std::string("notice_ms_") + action, static_cast<int>(waited.count()));
    }
}

TEST(Devices, SeveralWatchesEachHearChangesMadeByOtherThreads) {
    testsupport::ScratchMachine machine;
    std::atomic<int> first{0}, second{0};
    auto watchOne = std::make_unique<DeviceChangeWatch>([&] { ++first; });
    DeviceChangeWatch watchTwo([&] { ++second; });
    std::thread changer([] {
        DeviceSet set;
        ASSERT_EQ(DeviceSet::presentOfClass(kNetClassGuid, set), Error::Success);
        const DeviceInfo adapter = findAdapter(set);
        for (StateChange change : {StateChange::Disable, StateChange::Enable}) {
            ASSERT_EQ(set.setPropertyChangeParams(adapter, {change, ChangeScope::ConfigSpecific, 0}),
                      Error::Success);
            ASSERT_EQ(set.callClassInstaller(InstallFunction::PropertyChange, adapter), Error::Success);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    });
    changer.join();
    EXPECT_LE(waitFor(first, 2, std::chrono::milliseconds(1000)).count(), 500);
    EXPECT_LE(waitFor(second, 2, std::chrono::milliseconds(1000)).count(), 500);
    watchOne.reset();  // stops its thread; later changes reach only the other watch
    const int firstAfterStop = first.load();
    auto store = machine.open();
    ASSERT_TRUE(sim::dev::restart(*store, sim::dev::allDevices(*store).at(1).instanceId));
    EXPECT_LE(waitFor(second, 3, std::chrono::milliseconds(1000)).count(), 500);
    EXPECT_EQ(first.load(), firstAfterStop);
}

TEST(Devices, SimhostRefusesUnknownDevicesAndRepeatedRemoval) {
    testsupport::ScratchMachine machine;
    const std::map<std::string, std::string> environment{{"SIMHOST_MACHINE", machine.file().string()}};
    EXPECT_EQ(testsupport::runProgram(SIMHOST_PATH, {"device", "disable", "PCI\\NOPE"}, environment).exitCode,
              1);
    EXPECT_EQ(testsupport::runProgram(SIMHOST_PATH, {"device", "explode"}, environment).exitCode, 2);
    EXPECT_EQ(testsupport::runProgram(SIMHOST_PATH, {"device", "remove"}, environment).exitCode, 0);
    EXPECT_EQ(testsupport::runProgram(SIMHOST_PATH, {"device", "remove"}, environment).exitCode, 1);
    const auto added = testsupport::runProgram(SIMHOST_PATH, {"device", "add-adapter"}, environment);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    DeviceSet set;
    ASSERT_EQ(DeviceSet::presentOfClass(kNetClassGuid, set), Error::Success);
    const auto ids = instanceIds(set);
    ASSERT_EQ(ids.size(), 2u);  // wired card and the second adapter
    EXPECT_TRUE(ids[1].starts_with(std::string(kAdapterId) + "\\"));
    std::vector<std::uint8_t> data;
    std::size_t required = 0;
    DeviceInfo second;
    ASSERT_EQ(set.enumDevice(1, second), Error::Success);
    ASSERT_EQ(set.registryProperty(second, Property::Driver, 520, data, required), Error::Success);
    EXPECT_EQ(registry::textOf(data), std::string(kNetClassGuid) + "\\0002");
}

}  // namespace
}  // namespace platform::devices
