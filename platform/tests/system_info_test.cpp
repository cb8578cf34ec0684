#include "platform/system_info.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "platform/processes.h"
#include "platform/registry.h"
#include "sim/device_store.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace platform::system {
namespace {

TEST(SystemInfo, LanguageComputerNameAndGuids) {
    testsupport::ScratchMachine machine;
    std::string text;
    ASSERT_EQ(defaultLanguageHex(text), Error::Success);
    EXPECT_EQ(text, "0411");
    ASSERT_EQ(computerName(text), Error::Success);
    EXPECT_FALSE(text.empty());

    const std::regex form("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        const std::string guid = guidText(newGuid());
        EXPECT_TRUE(std::regex_match(guid, form)) << guid;
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 100u);
    EXPECT_EQ(guidText(Guid{0x0123ABCD, 0x00EF, 0x4A00, {0x80, 1, 2, 3, 4, 5, 6, 0xFF}}),
              "0123abcd-00ef-4a00-8001-0203040506ff");
}

const AdapterInfo* findVessra(const std::vector<AdapterInfo>& list) {
    for (const auto& info : list) {
        if (info.description.find("Vessra") != std::string::npos)
            return &info;
    }
    return nullptr;
}

TEST(SystemInfo, AdapterListShowsLeasesAndFixedAddressesOfWorkingCards) {
    for (const auto kind :
         {sim::SystemKind::WindowsXP, sim::SystemKind::Windows98SE, sim::SystemKind::WindowsNT4}) {
        SCOPED_TRACE(std::string(sim::systemKindName(kind)));
        testsupport::ScratchMachine machine({kind, sim::AdapterSetup::Present, true});
        std::vector<AdapterInfo> list;
        ASSERT_EQ(adaptersInfo(list), Error::Success);
        ASSERT_EQ(list.size(), 2u);
        EXPECT_FALSE(list[0].dhcpEnabled);
        EXPECT_EQ(list[0].ipAddresses.at(0).address, "10.0.0.20");
        EXPECT_EQ(list[0].ipAddresses.at(0).mask, "255.255.255.0");
        const AdapterInfo* adapter = findVessra(list);
        ASSERT_NE(adapter, nullptr);
        EXPECT_TRUE(adapter->dhcpEnabled);
        EXPECT_EQ(adapter->ipAddresses.at(0).address, "192.168.11.5");
        EXPECT_EQ(adapter->gateways, std::vector<std::string>{"192.168.11.1"});
        EXPECT_EQ(adapter->dhcpServer, "192.168.11.1");
        EXPECT_EQ(adapter->hardwareAddress,
                  (std::array<std::uint8_t, 6>{0x00, 0x0B, 0x6B, 0x4D, 0x2A, 0x17}));
    }
}

TEST(SystemInfo, AdapterListFollowsTheSettingsAndTheDeviceState) {
    testsupport::ScratchMachine machine;
    registry::Key driver;
    ASSERT_EQ(registry::Key::open(
                  registry::Hive::LocalMachine,
                  "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0001",
                  registry::Access::Read, driver),
              Error::Success);
    std::string interface;
    ASSERT_EQ(driver.readString("NetCfgInstanceId", 500, interface), Error::Success);
    registry::Key tcpip;
    ASSERT_EQ(registry::Key::open(
                  registry::Hive::LocalMachine,
                  "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + interface,
                  registry::Access::Write, tcpip),
              Error::Success);
    ASSERT_EQ(tcpip.setDword("EnableDHCP", 0), Error::Success);
    ASSERT_EQ(tcpip.setMultiString("IPAddress", {"172.16.0.9"}), Error::Success);
    ASSERT_EQ(tcpip.setMultiString("SubnetMask", {"255.255.0.0"}), Error::Success);
    ASSERT_EQ(tcpip.setMultiString("DefaultGateway", {}), Error::Success);
    std::vector<AdapterInfo> list;
    ASSERT_EQ(adaptersInfo(list), Error::Success);
    const AdapterInfo* adapter = findVessra(list);
    ASSERT_NE(adapter, nullptr);
    EXPECT_FALSE(adapter->dhcpEnabled);
    EXPECT_EQ(adapter->ipAddresses.at(0).address, "172.16.0.9");
    EXPECT_EQ(adapter->ipAddresses.at(0).mask, "255.255.0.0");
    EXPECT_TRUE(adapter->gateways.empty());
    EXPECT_EQ(adapter->name, interface);

    auto store = machine.open();
    const auto devices = sim::dev::allDevices(*store);
    ASSERT_TRUE(sim::dev::setEnabled(*store, devices.at(1).instanceId, false));
    ASSERT_EQ(adaptersInfo(list), Error::Success);
    EXPECT_EQ(findVessra(list), nullptr);
}

TEST(Processes, TheListHoldsThisProcessUnderItsExecutableName) {
    std::vector<ProcessEntry> list;
    ASSERT_EQ(listProcesses(list), Error::Success);
    bool found = false;
    for (const auto& process : list) {
        if (process.pid != ::getpid())
            continue;
        found = true;
        EXPECT_EQ(process.exeName, "machine_tests");
        EXPECT_EQ(process.parentPid, ::getppid());
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace platform::system

namespace platform {
namespace {

TEST(Processes, AScriptIsListedUnderItsOwnName) {
    testsupport::ScratchMachine machine;
    const auto script = machine.folder() / "sennet.exe";
    {
        std::FILE* file = std::fopen(script.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("#!/bin/sh\nsleep 5\n", file);
        std::fclose(file);
    }
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const pid_t child = testsupport::startProgram(script, {});
    bool found = false;
    for (int attempt = 0; attempt < 100 && !found; ++attempt) {
        std::vector<ProcessEntry> list;
        ASSERT_EQ(listProcesses(list), Error::Success);
        for (const auto& process : list)
            found = found || (process.pid == child && process.exeName == "sennet.exe");
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(child, SIGKILL);
    testsupport::waitProgram(child);
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace platform
