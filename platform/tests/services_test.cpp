#include "platform/services.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "testsupport/scratch_machine.h"

namespace platform::services {
namespace {

class ServicesTest : public ::testing::Test {
  protected:
    testsupport::ScratchMachine machine;

    Service open(std::uint32_t access) {
        ServiceManager manager;
        EXPECT_EQ(ServiceManager::open(kManagerAllAccess, manager), Error::Success);
        Service service;
        EXPECT_EQ(manager.openService("wzcsvc", access, service), Error::Success);
        return service;
    }
};

TEST_F(ServicesTest, StartWalksThroughStartPendingWithAdvancingCheckPointsToRunning) {
    Service service = open(kServiceAllAccess);
    ServiceStatus status;
    ASSERT_EQ(service.stop(status), Error::Success);
    EXPECT_EQ(status.state, ServiceState::Stopped);
    ASSERT_EQ(service.start(), Error::Success);

    std::vector<std::uint32_t> checkPoints;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (true) {
        ASSERT_EQ(service.queryStatus(status), Error::Success);
        if (status.state != ServiceState::StartPending)
            break;
        EXPECT_GT(status.waitHintMs, 0u);
        EXPECT_EQ(status.controlsAccepted & kAcceptStop, 0u);
        if (checkPoints.empty() || checkPoints.back() != status.checkPoint)
            checkPoints.push_back(status.checkPoint);
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(status.state, ServiceState::Running);
    EXPECT_EQ(status.checkPoint, 0u);
    EXPECT_EQ(status.waitHintMs, 0u);
    EXPECT_NE(status.controlsAccepted & kAcceptStop, 0u);
    ASSERT_GE(checkPoints.size(), 3u);
    for (std::size_t i = 1; i < checkPoints.size(); ++i) EXPECT_GT(checkPoints[i], checkPoints[i - 1]);
}

TEST_F(ServicesTest, ControlsAreRefusedInTheWrongStateOrWithoutTheRight) {
    Service service = open(kServiceAllAccess);
    ServiceStatus status;
    EXPECT_EQ(service.start(), Error::ServiceAlreadyRunning);
    ASSERT_EQ(service.stop(status), Error::Success);
    EXPECT_EQ(service.stop(status), Error::ServiceNotActive);
    ASSERT_EQ(service.start(), Error::Success);
    EXPECT_EQ(service.stop(status), Error::ServiceCannotAcceptControl);
    EXPECT_EQ(status.state, ServiceState::StartPending);

    Service queryOnly = open(kServiceQueryStatus);
    EXPECT_EQ(queryOnly.start(), Error::AccessDenied);
    EXPECT_EQ(queryOnly.stop(status), Error::AccessDenied);
    EXPECT_EQ(queryOnly.queryStatus(status), Error::Success);
    Service stopOnly = open(kServiceStop);
    EXPECT_EQ(stopOnly.queryStatus(status), Error::AccessDenied);

    queryOnly.close();
    EXPECT_EQ(queryOnly.queryStatus(status), Error::InvalidHandle);
    ServiceManager manager;
    ASSERT_EQ(ServiceManager::open(kManagerAllAccess, manager), Error::Success);
    EXPECT_EQ(manager.openService("NoSuchService", kServiceAllAccess, service), Error::ServiceDoesNotExist);
    manager.close();
    EXPECT_EQ(manager.openService("WZCSVC", kServiceAllAccess, service), Error::InvalidHandle);
}

}  // namespace
}  // namespace platform::services
