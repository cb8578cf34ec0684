#include "vessra/zero_config/service_steps.h"

#include <algorithm>

namespace vessra::zero_config {

namespace services = platform::services;

bool stopService() {
    services::ServiceManager manager;
    if (!platform::succeeded(services::ServiceManager::open(services::kManagerAllAccess, manager)))
        return false;
    services::Service service;
    if (!platform::succeeded(manager.openService(kServiceName, services::kServiceStop, service)))
        return false;
    services::ServiceStatus status;
    return platform::succeeded(service.stop(status));
}

bool startService(WaitClock& clock) {
    services::ServiceManager manager;
    if (!platform::succeeded(services::ServiceManager::open(services::kManagerAllAccess, manager)))
        return false;
    services::Service service;
    if (!platform::succeeded(manager.openService(kServiceName, services::kServiceAllAccess, service)))
        return false;
    service.start();
    services::ServiceStatus status;
    if (!platform::succeeded(service.queryStatus(status)))
        return false;
    const auto query = [&service](services::ServiceStatus& out) {
        return platform::succeeded(service.queryStatus(out));
    };
    return waitWhileStartPending(status, query, clock).state == services::ServiceState::Running;
}

services::ServiceStatus waitWhileStartPending(services::ServiceStatus status, const StatusQuery& query,
                                              WaitClock& clock) {
    auto lastAdvance = clock.now();
    std::uint32_t lastCheckPoint = status.checkPoint;
    while (status.state == services::ServiceState::StartPending) {
        const auto wait = std::clamp<std::uint32_t>(status.waitHintMs / 10, 1000, 10000);
        clock.sleepFor(WaitClock::Duration(wait));
        if (!query(status))
            break;
        if (status.checkPoint > lastCheckPoint) {
            lastCheckPoint = status.checkPoint;
            lastAdvance = clock.now();
        } else if (clock.now() - lastAdvance > WaitClock::Duration(status.waitHintMs)) {
            break;
        }
    }
    return status;
}

}  // namespace vessra::zero_config
