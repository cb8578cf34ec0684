#include "platform/wmi_events.h"

#include <chrono>

#include <gtest/gtest.h>

#include "sim/hw_events.h"
#include "testsupport/child_process.h"
#include "testsupport/scratch_machine.h"

namespace platform::wmi {
namespace {

using namespace std::chrono_literals;

TEST(WmiEvents, TheRadioKeyMovedBySimhostArrivesThroughASubscription) {
    testsupport::ScratchMachine machine;
    Connection connection;
    ASSERT_EQ(Connection::connect("ROOT\\WMI", connection), Result::Ok);
    Subscription subscription;
    ASSERT_EQ(connection.subscribe("select * from wmiextra_event", subscription), Result::Ok);
    EventObject event;
    EXPECT_EQ(subscription.next(100ms, event), Result::TimedOut);

    const std::map<std::string, std::string> environment{{"SIMHOST_MACHINE", machine.file().string()}};
    for (const auto& [position, expected] : {std::pair{"off", 0}, std::pair{"on", 1}}) {
        const auto result = testsupport::runProgram(SIMHOST_PATH, {"radio-key", position}, environment);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        ASSERT_EQ(subscription.next(2000ms, event), Result::Ok);
        EXPECT_EQ(event.className(), "wmiextra_event");
        std::int64_t value = -1;
        ASSERT_EQ(event.get("wmi_EventInfo", value), Result::Ok);
        EXPECT_EQ(value, expected);
        EXPECT_EQ(event.get("Other", value), Result::NotFound);
        event.release();
        EXPECT_EQ(event.get("wmi_EventInfo", value), Result::Released);
    }
    auto store = machine.open();
    EXPECT_TRUE(sim::events::radioKeyOn(*store));
    EXPECT_EQ(subscription.next(50ms, event), Result::TimedOut);

    // A late subscriber sees only what comes after it; each subscriber sees every event.
    Subscription late;
    ASSERT_EQ(connection.subscribe("SELECT * FROM wmiextra_event", late), Result::Ok);
    sim::events::setRadioKey(*store, false);
    ASSERT_EQ(late.next(1000ms, event), Result::Ok);
    ASSERT_EQ(subscription.next(1000ms, event), Result::Ok);
    EXPECT_EQ(late.next(50ms, event), Result::TimedOut);
}

TEST(WmiEvents, BadNamespacesQueriesAndReleasedObjectsFailCleanly) {
    testsupport::ScratchMachine machine;
    Connection connection;
    EXPECT_EQ(Connection::connect("root\\cimv9", connection), Result::InvalidNamespace);
    ASSERT_EQ(Connection::connect("root\\wmi", connection), Result::Ok);
    Subscription subscription;
    EXPECT_EQ(connection.subscribe("select name from wmiextra_event", subscription), Result::InvalidQuery);
    EXPECT_EQ(connection.subscribe("select * from", subscription), Result::InvalidQuery);
    ASSERT_EQ(connection.subscribe("select * from wmiextra_event", subscription), Result::Ok);
    subscription.release();
    EventObject event;
    EXPECT_EQ(subscription.next(10ms, event), Result::Released);
    connection.release();
    EXPECT_EQ(connection.subscribe("select * from wmiextra_event", subscription), Result::Released);

    auto store = machine.open();
    sim::events::setWmiAvailable(*store, false);
    EXPECT_EQ(Connection::connect("root\\wmi", connection), Result::NoWmi);
}

}  // namespace
}  // namespace platform::wmi
