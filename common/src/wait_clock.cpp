#include "vessra/common/wait_clock.h"

#include <thread>

namespace vessra {

namespace {

class SystemWaitClock final : public WaitClock {
  public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepFor(Duration duration) override { std::this_thread::sleep_for(duration); }
};

}  // namespace

WaitClock& systemWaitClock() {
    static SystemWaitClock clock;
    return clock;
}

}  // namespace vessra
