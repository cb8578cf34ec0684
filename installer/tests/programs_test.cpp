// dorvane and quillon, run as real programs against scratch machines.

#include <chrono>

#include <gtest/gtest.h>

#include "installer_machines.h"
#include "platform/services.h"
#include "sim/device_store.h"
#include "sim/machine.h"
#include "sim/regedit.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace {

using installer_test::kAdapterId;

std::map<std::string, std::string> headless(const testsupport::ScratchMachine& machine) {
    return {{"SIMHOST_MACHINE", machine.file().string()},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", ""}};
}

std::string compareLines(const std::vector<std::string>& ids) {
    std::string lines;
    for (const auto& id : ids) lines += "Compare device ID: [" + id + "]\n";
    return lines;
}

TEST(Dorvane, RemovesEveryDeviceThatListsTheIdentifierExactly) {
    testsupport::ScratchMachine machine;
    auto store = machine.open();
    const std::string first = installer_test::presentAdapters(*store).at(0);
    const std::string second = sim::addAdapter(*store);
    const std::string secondInList = sim::addAdapter(*store);
    installer_test::setHardwareIds(*store, secondInList, {"PCI\\VEN_168C&DEV_0013", kAdapterId});
    const std::string longer = sim::addAdapter(*store);
    installer_test::setHardwareIds(*store, longer, {std::string(kAdapterId) + "1"});
    const auto before = installer_test::presentDevices(*store);

    const auto result = testsupport::runProgram(DORVANE_PATH, {}, headless(machine));
    EXPECT_EQ(result.exitCode, 0);
    const auto after = installer_test::presentDevices(*store);
    EXPECT_EQ(std::count(after.begin(), after.end(), first), 0);
    EXPECT_EQ(std::count(after.begin(), after.end(), second), 0);
    EXPECT_EQ(std::count(after.begin(), after.end(), secondInList), 0);
    EXPECT_EQ(std::count(after.begin(), after.end(), longer), 1);
    EXPECT_EQ(after.size(), before.size() - 3);

    EXPECT_NE(result.out.find(compareLines({"PCI\\VEN_168C&DEV_0013", kAdapterId}) + "Found! [" + kAdapterId +
                              "]\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(compareLines({std::string(kAdapterId) + "1"})), std::string::npos);
    std::size_t found = 0;
    for (std::size_t at = 0; (at = result.out.find("Found! [", at)) != std::string::npos; ++at) ++found;
    EXPECT_EQ(found, 3u);
    EXPECT_EQ(result.out.find("FAILURE"), std::string::npos);
}

TEST(Dorvane, RunsItsDialogWhereADisplayIsAndReportsFailuresWithTheMessageText) {
    testsupport::ScratchMachine machine;
    const auto result = testsupport::runProgram(
        DORVANE_PATH, {}, {{"SIMHOST_MACHINE", machine.file().string()}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(installer_test::presentAdapters(*machine.open()).empty());
    EXPECT_NE(result.out.find(std::string("Found! [") + kAdapterId + "]\n"), std::string::npos);

    testsupport::ScratchMachine unused;
    auto environment = headless(unused);
    environment["SIMHOST_MACHINE"] = "/proc/no-such-folder/machine.db";
    const auto failed = testsupport::runProgram(DORVANE_PATH, {}, environment);
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(failed.out, "GetClassDevs(All Present Devices) FAILURE: An internal error occurred.\n");
}

class Quillon : public ::testing::Test {
  protected:
    testsupport::ProgramResult run(const testsupport::ScratchMachine& machine) {
        return testsupport::runProgram(QUILLON_PATH, {}, {{"SIMHOST_MACHINE", machine.file().string()}});
    }
};

TEST_F(Quillon, ClearsOnlyTheServeBitOfTheFirstAdapterAndRestartsTheService) {
    testsupport::ScratchMachine machine;
    auto store = machine.open();
    const std::string first = installer_test::presentAdapters(*store).at(0);
    const std::string second = sim::addAdapter(*store);
    installer_test::setControlFlags(*store, first, 0x00918002);
    installer_test::setControlFlags(*store, second, 0x00918002);

    const auto result = run(machine);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(installer_test::controlFlags(*store, first), 0x00910002u);
    EXPECT_EQ(installer_test::controlFlags(*store, second), 0x00918002u);

    platform::services::ServiceManager manager;
    ASSERT_EQ(platform::services::ServiceManager::open(platform::services::kManagerConnect, manager),
              platform::Error::Success);
    platform::services::Service service;
    ASSERT_EQ(manager.openService("WZCSVC", platform::services::kServiceQueryStatus, service),
              platform::Error::Success);
    platform::services::ServiceStatus status;
    ASSERT_EQ(service.queryStatus(status), platform::Error::Success);
    EXPECT_EQ(status.state, platform::services::ServiceState::Running);
}

TEST_F(Quillon, LeavesFlagsWithoutTheServeBitAndMatchesOnlyTheFirstString) {
    testsupport::ScratchMachine machine;
    auto store = machine.open();
    const std::string first = installer_test::presentAdapters(*store).at(0);
    const std::string second = sim::addAdapter(*store);
    installer_test::setControlFlags(*store, first, 0x00810002);
    installer_test::setControlFlags(*store, second, 0x00918002);
    EXPECT_EQ(run(machine).exitCode, 0);
    EXPECT_EQ(installer_test::controlFlags(*store, first), 0x00810002u);
    EXPECT_EQ(installer_test::controlFlags(*store, second), 0x00918002u);  // only the first match is handled

    // With the identifier only second in its list, the device is not the adapter for quillon.
    installer_test::setHardwareIds(*store, first, {"PCI\\VEN_168C&DEV_0013", kAdapterId});
    installer_test::setHardwareIds(*store, second, {"PCI\\VEN_168C&DEV_0013", kAdapterId});
    EXPECT_EQ(run(machine).exitCode, 0);
    EXPECT_EQ(installer_test::controlFlags(*store, second), 0x00918002u);
}

TEST_F(Quillon, EndsAtOnceWithNothingChangedWithoutTheService) {
    for (sim::SystemKind kind : {sim::SystemKind::Windows2000, sim::SystemKind::Windows98SE}) {
        SCOPED_TRACE(sim::systemKindName(kind));
        testsupport::ScratchMachine machine({.system = kind});
        const std::string before = sim::regedit::exportText(*machine.open());
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(run(machine).exitCode, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        EXPECT_EQ(sim::regedit::exportText(*machine.open()), before);
    }
}

TEST_F(Quillon, ExitsWithZeroEvenWhenNothingCanBeDone) {
    testsupport::ScratchMachine unused;
    const auto result =
        testsupport::runProgram(QUILLON_PATH, {}, {{"SIMHOST_MACHINE", "/proc/no-such-folder/m.db"}});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out + result.err, "");
}

}  // namespace
