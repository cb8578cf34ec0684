#include "platform/services.h"

#include "machine_connection.h"
#include "sim/machine.h"
#include "sim/service_store.h"

namespace platform::services {

using detail::guarded;

namespace {

ServiceStatus toStatus(const sim::svc::Status& status) {
    ServiceStatus result;
    result.state = static_cast<ServiceState>(status.state);
    result.controlsAccepted =
        status.state == sim::svc::State::Running && status.acceptsStop ? kAcceptStop : 0;
    result.checkPoint = status.checkPoint;
    result.waitHintMs = status.waitHintMs;
    return result;
}

Error fromOutcome(sim::svc::Outcome outcome) {
    switch (outcome) {
        case sim::svc::Outcome::Done:
            return Error::Success;
        case sim::svc::Outcome::NotStopped:
            return Error::ServiceAlreadyRunning;
        case sim::svc::Outcome::NotRunning:
            return Error::ServiceNotActive;
        case sim::svc::Outcome::CannotAccept:
            return Error::ServiceCannotAcceptControl;
        case sim::svc::Outcome::Missing:
            return Error::ServiceDoesNotExist;
    }
    return Error::InternalError;
}

}  // namespace

Error ServiceManager::open(std::uint32_t access, ServiceManager& out) {
    (void)access;  // every caller may connect; rights are checked on the services themselves
    return guarded([&](sim::Store& store) {
        const auto system = sim::machineSystem(store);
        if (!system || !sim::isNtFamily(*system))
            return Error::CallNotImplemented;
        out.m_open = true;
        return Error::Success;
    });
}

Error ServiceManager::openService(std::string_view name, std::uint32_t access, Service& out) const {
    if (!m_open)
        return Error::InvalidHandle;
    if (name.empty())
        return Error::InvalidParameter;
    return guarded([&](sim::Store& store) {
        const auto id = sim::svc::findService(store, name);
        if (!id)
            return Error::ServiceDoesNotExist;
        out = Service(*id, access);
        return Error::Success;
    });
}

Error Service::start() {
    if (m_id == 0)
        return Error::InvalidHandle;
    if ((m_access & kServiceStart) == 0)
        return Error::AccessDenied;
    return guarded([&](sim::Store& store) { return fromOutcome(sim::svc::start(store, m_id)); });
}

Error Service::stop(ServiceStatus& status) {
    if (m_id == 0)
        return Error::InvalidHandle;
    if ((m_access & kServiceStop) == 0)
        return Error::AccessDenied;
    return guarded([&](sim::Store& store) {
        const Error error = fromOutcome(sim::svc::stop(store, m_id));
        if (const auto now = sim::svc::status(store, m_id))
            status = toStatus(*now);
        return error;
    });
}

Error Service::queryStatus(ServiceStatus& status) const {
    if (m_id == 0)
        return Error::InvalidHandle;
    if ((m_access & kServiceQueryStatus) == 0)
        return Error::AccessDenied;
    return guarded([&](sim::Store& store) {
        const auto now = sim::svc::status(store, m_id);
        if (!now)
            return Error::ServiceDoesNotExist;
        status = toStatus(*now);
        return Error::Success;
    });
}

}  // namespace platform::services
