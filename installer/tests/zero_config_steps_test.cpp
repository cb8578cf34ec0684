#include "vessra/zero_config/service_steps.h"

#include <deque>

#include <gtest/gtest.h>

namespace {

using platform::services::ServiceState;
using platform::services::ServiceStatus;

// Virtual time: sleeping only moves the clock, and every sleep is recorded.
class VirtualClock final : public vessra::WaitClock {
  public:
    TimePoint now() const override { return m_now; }
    void sleepFor(Duration duration) override {
        m_now += duration;
        sleeps.push_back(duration.count());
    }
    std::vector<long> sleeps;

  private:
    TimePoint m_now{};
};

ServiceStatus pending(std::uint32_t checkPoint, std::uint32_t waitHintMs) {
    return {ServiceState::StartPending, 0, checkPoint, waitHintMs};
}

ServiceStatus running() {
    return {ServiceState::Running, 1, 0, 0};
}

TEST(ZeroConfigStartWait, FollowsTheCheckPointAndClampsEachWait) {
    struct Case {
        const char* what;
        ServiceStatus first;
        std::deque<ServiceStatus> answers;  // what the queries return, in order; empty = query fails
        std::vector<long> sleeps;
        ServiceState final;
    };
    const std::vector<Case> cases = {
        {"short hint waits the 1000 ms minimum",
         pending(1, 2000),
         {pending(2, 2000), running()},
         {1000, 1000},
         ServiceState::Running},
        {"long hint waits a tenth, at most 10000 ms",
         pending(1, 200000),
         {pending(2, 50000), running()},
         {10000, 5000},
         ServiceState::Running},
        {"a check point that stops advancing ends the wait after the hint",
         pending(1, 3000),
         {pending(1, 3000), pending(1, 3000), pending(1, 3000), pending(1, 3000)},
         {1000, 1000, 1000, 1000},
         ServiceState::StartPending},
        {"an advance restarts the hint",
         pending(1, 2000),
         {pending(1, 2000), pending(2, 2000), pending(2, 2000), pending(2, 2000), running()},
         {1000, 1000, 1000, 1000, 1000},
         ServiceState::Running},
        {"a failed query ends the wait", pending(1, 2000), {}, {1000}, ServiceState::StartPending},
        {"no wait when already running", running(), {}, {}, ServiceState::Running},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VirtualClock clock;
        auto answers = c.answers;
        const auto query = [&answers](ServiceStatus& out) {
            if (answers.empty())
                return false;
            out = answers.front();
            answers.pop_front();
            return true;
        };
        const ServiceStatus last = vessra::zero_config::waitWhileStartPending(c.first, query, clock);
        EXPECT_EQ(last.state, c.final);
        EXPECT_EQ(clock.sleeps, c.sleeps);
    }
}

}  // namespace
