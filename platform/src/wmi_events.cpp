#include "platform/wmi_events.h"

#include <optional>
#include <sstream>
#include <thread>

#include "machine_connection.h"
#include "sim/hw_events.h"
#include "vessra/common/text.h"

namespace platform::wmi {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);

// "select * from CLASS" with any spacing and keyword case; the class name, or nothing.
std::optional<std::string> classOfQuery(std::string_view query) {
    std::istringstream words{std::string(query)};
    std::string select, star, from, className, extra;
    words >> select >> star >> from >> className;
    if (words >> extra)
        return std::nullopt;
    if (!vessra::equalsIgnoreAsciiCase(select, "select") || star != "*" ||
        !vessra::equalsIgnoreAsciiCase(from, "from") || className.empty()) {
        return std::nullopt;
    }
    return className;
}

}  // namespace

Result EventObject::get(std::string_view property, std::int64_t& out) const {
    if (!m_valid)
        return Result::Released;
    if (!vessra::equalsIgnoreAsciiCase(property, m_property))
        return Result::NotFound;
    out = m_value;
    return Result::Ok;
}

Result Connection::connect(std::string_view nameSpace, Connection& out) {
    Result result = Result::Failed;
    detail::guarded([&](sim::Store& store) {
        if (!sim::events::wmiAvailable(store)) {
            result = Result::NoWmi;
        } else if (!vessra::equalsIgnoreAsciiCase(nameSpace, sim::events::kWmiNamespace)) {
            result = Result::InvalidNamespace;
        } else {
            out.m_nameSpace = std::string(sim::events::kWmiNamespace);
            result = Result::Ok;
        }
        return Error::Success;
    });
    return result;
}

Result Connection::subscribe(std::string_view query, Subscription& out) const {
    if (!isValid())
        return Result::Released;
    const auto className = classOfQuery(query);
    if (!className)
        return Result::InvalidQuery;
    Result result = Result::Failed;
    detail::guarded([&](sim::Store& store) {
        out.m_nameSpace = m_nameSpace;
        out.m_className = *className;
        out.m_lastSeen = sim::events::lastEventId(store);
        result = Result::Ok;
        return Error::Success;
    });
    return result;
}

Result Subscription::next(std::chrono::milliseconds timeout, EventObject& out) {
    if (!isValid())
        return Result::Released;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        std::optional<sim::events::Event> event;
        const Error error = detail::guarded([&](sim::Store& store) {
            event = sim::events::nextEvent(store, m_lastSeen, m_nameSpace, m_className);
            return Error::Success;
        });
        if (error != Error::Success)
            return Result::Failed;
        if (event) {
            m_lastSeen = event->id;
            EventObject object;
            object.m_valid = true;
            object.m_className = event->className;
            object.m_property = event->property;
            object.m_value = event->value;
            out = std::move(object);
            return Result::Ok;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return Result::TimedOut;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPollInterval, deadline - now));
    }
}

}  // namespace platform::wmi
