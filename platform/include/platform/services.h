#pragma once
// Service control of the machine: the service manager, services opened with access rights, start,
// the stop control and status queries.
//
// Contract (what callers rely on):
// - Systems of the Windows 9x family have no service manager: ServiceManager::open fails there with
//   Error::CallNotImplemented. A service the machine lacks ("WZCSVC" exists on Windows XP only) fails
//   openService with Error::ServiceDoesNotExist.
// - Access is checked as the caller asked for it: a call the handle was not opened for fails with
//   Error::AccessDenied.
// - start() on a stopped service returns at once and leaves the service start-pending; status
//   queries then show the check point advancing (1, 2, ...) with a steady wait hint, and after about
//   a second and a half the service is running (check point and wait hint 0). Starting a service
//   that is not stopped fails with Error::ServiceAlreadyRunning.
// - The stop control is accepted while the service runs (it is stopped when the call returns) and
//   refused otherwise: Error::ServiceNotActive when stopped, Error::ServiceCannotAcceptControl while
//   start-pending or when the service does not take the stop control.
// - Every change is a transaction of the machine store, seen by all processes at their next call.
// - Handles close themselves; any call on a closed handle fails with Error::InvalidHandle.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace platform::services {

inline constexpr std::string_view kZeroConfigService = "WZCSVC";

// Access rights (the numbers of the service manager).
inline constexpr std::uint32_t kManagerConnect = 0x0001;
inline constexpr std::uint32_t kManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;

enum class ServiceState : std::uint32_t {
    Stopped = 1,
    StartPending = 2,
    StopPending = 3,
    Running = 4,
};

// Bits of ServiceStatus::controlsAccepted.
inline constexpr std::uint32_t kAcceptStop = 0x1;

struct ServiceStatus {
    ServiceState state = ServiceState::Stopped;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHintMs = 0;
};

class Service;

class ServiceManager {
  public:
    ServiceManager() = default;
    static Error open(std::uint32_t access, ServiceManager& out);

    bool isOpen() const { return m_open; }
    void close() { m_open = false; }

    Error openService(std::string_view name, std::uint32_t access, Service& out) const;

  private:
    bool m_open = false;
};

class Service {
  public:
    Service() = default;

    bool isOpen() const { return m_id != 0; }
    void close() { m_id = 0; }

    Error start();
    // Sends the stop control; on success `status` is the service's status after it.
    Error stop(ServiceStatus& status);
    Error queryStatus(ServiceStatus& status) const;

  private:
    friend class ServiceManager;
    Service(std::int64_t id, std::uint32_t access) : m_id(id), m_access(access) {}

    std::int64_t m_id = 0;
    std::uint32_t m_access = 0;
};

}  // namespace platform::services
