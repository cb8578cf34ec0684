#pragma once
// The one seam every wait of the suite goes through: the real clock in the programs, a virtual one
// in tests, so that a loop waiting seconds for a service still runs in milliseconds under test and
// its delays can be checked.

#include <chrono>

namespace vessra {

class WaitClock {
  public:
    using Duration = std::chrono::milliseconds;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~WaitClock() = default;
    virtual TimePoint now() const = 0;
    virtual void sleepFor(Duration duration) = 0;
};

// Real time: steady_clock and a sleep of the calling thread.
WaitClock& systemWaitClock();

}  // namespace vessra
