// simhost's commands for looking at and changing the machine, as a person or a test uses them.

#include <gtest/gtest.h>

#include "platform/services.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace platform {
namespace {

class SimhostMachineTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;

    testsupport::ProgramResult simhost(const std::vector<std::string>& args) {
        return testsupport::runProgram(SIMHOST_PATH, args, {{"SIMHOST_MACHINE", machine.file().string()}});
    }
};

TEST_F(SimhostMachineTest, ShowTellsSystemDevicesServicesAndRadioKey) {
    ASSERT_EQ(simhost({"radio-key", "off"}).exitCode, 0);
    const auto shown = simhost({"show"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    for (const char* expected : {"system: xp (NT 5.1 build 2600", "radio key: off", "wmi: yes",
                                 "Vessra 802.11a/b Wireless LAN Mini PCI Adapter",
                                 "WZCSVC (Wireless Zero Configuration): running"}) {
        EXPECT_NE(shown.out.find(expected), std::string::npos) << expected << "\n" << shown.out;
    }
    EXPECT_EQ(simhost({"radio-key", "sideways"}).exitCode, 2);
    EXPECT_EQ(simhost({"show", "extra"}).exitCode, 2);
}

TEST_F(SimhostMachineTest, ServiceCommandsDriveTheServiceOthersSee) {
    ASSERT_EQ(simhost({"service", "stop"}).exitCode, 0);
    services::ServiceManager manager;
    ASSERT_EQ(services::ServiceManager::open(services::kManagerAllAccess, manager), Error::Success);
    services::Service service;
    ASSERT_EQ(manager.openService("WZCSVC", services::kServiceQueryStatus, service), Error::Success);
    services::ServiceStatus status;
    ASSERT_EQ(service.queryStatus(status), Error::Success);
    EXPECT_EQ(status.state, services::ServiceState::Stopped);
    EXPECT_EQ(simhost({"service", "stop", "WZCSVC"}).exitCode, 1);
    const auto started = simhost({"service", "start", "WZCSVC"});
    ASSERT_EQ(started.exitCode, 0) << started.err;
    EXPECT_NE(started.out.find("start-pending"), std::string::npos) << started.out;
    ASSERT_EQ(service.queryStatus(status), Error::Success);
    EXPECT_EQ(status.state, services::ServiceState::StartPending);
    EXPECT_EQ(simhost({"service", "show", "NoSuch"}).exitCode, 1);
}

TEST_F(SimhostMachineTest, NewRefusesUnknownKindsAndStates) {
    const std::string other = (machine.folder() / "other.db").string();
    EXPECT_EQ(simhost({"--machine", other, "new", "--os", "vista"}).exitCode, 2);
    EXPECT_EQ(simhost({"--machine", other, "new", "--adapter", "broken"}).exitCode, 2);
    EXPECT_EQ(simhost({"--machine", other, "new", "--product", "maybe"}).exitCode, 2);
    const auto made = simhost({"--machine", other, "new", "--os", "98se", "--adapter", "disabled"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto shown = simhost({"--machine", other, "show"});
    EXPECT_NE(shown.out.find("wmi: no"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("disabled, problem 22"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("services:\n  (none)"), std::string::npos) << shown.out;
}

}  // namespace
}  // namespace platform
