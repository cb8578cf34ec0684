#pragma once
// Stopping and starting the zero-configuration service around a change of its interface flags.
// Shared by the installer's switch tool and the utility's tray, so both follow one rule.

#include <functional>
#include <string_view>

#include "platform/services.h"
#include "vessra/common/wait_clock.h"

namespace vessra::zero_config {

inline constexpr std::string_view kServiceName = "WZCSVC";

// Opens the service manager (all access) and the service (stop access) and sends the stop control.
// Does not wait for the service to stop. True when the control was accepted.
bool stopService();

// Opens the service manager and the service (all access), starts it (the start request's own result
// is not looked at) and waits while it is start-pending. True when it is running at the end.
bool startService(WaitClock& clock = systemWaitClock());

// The wait of startService: while `status` says start-pending, sleep a tenth of the wait hint
// (clamped to 1000..10000 ms) and query again. The wait goes on as long as the check point advances
// within the wait hint, and ends at a failed query. Returns the last status seen.
using StatusQuery = std::function<bool(platform::services::ServiceStatus&)>;
platform::services::ServiceStatus waitWhileStartPending(platform::services::ServiceStatus status,
                                                        const StatusQuery& query, WaitClock& clock);

}  // namespace vessra::zero_config
