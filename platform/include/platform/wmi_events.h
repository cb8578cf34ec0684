#pragma once
// Hardware events in the style of WMI: connect to a namespace, subscribe with a query, wait for the
// next event object, read a named property, release.
//
// Contract:
// - connect fails with Result::NoWmi on machines without WMI (Windows 98 SE by default) and with
//   Result::InvalidNamespace for a namespace the machine does not have ("root\wmi" exists).
// - subscribe takes "select * from CLASS" (keywords in any case); anything else is InvalidQuery.
//   A subscription sees the events of its class queued after it was made, each once, in order.
// - next waits up to the time-out (bounded polling of the store, no busy loop) and answers
//   TimedOut when nothing came.
// - Objects are value types; a call on a released object (or one made from a released connection)
//   answers Released and changes nothing.
// - The adapter's radio key arrives as class "wmiextra_event" in "root\wmi" with property
//   "wmi_EventInfo": non-zero = key on, 0 = key off.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::wmi {

enum class Result { Ok, NoWmi, InvalidNamespace, InvalidQuery, TimedOut, NotFound, Released, Failed };

class Subscription;

class EventObject {
  public:
    EventObject() = default;
    bool isValid() const { return m_valid; }
    void release() { m_valid = false; }
    const std::string& className() const { return m_className; }
    // Reads a numeric property; NotFound when the event has no property of that name.
    Result get(std::string_view property, std::int64_t& out) const;

  private:
    friend class Subscription;
    bool m_valid = false;
    std::string m_className;
    std::string m_property;
    std::int64_t m_value = 0;
};

class Connection {
  public:
    Connection() = default;
    static Result connect(std::string_view nameSpace, Connection& out);
    bool isValid() const { return !m_nameSpace.empty(); }
    void release() { m_nameSpace.clear(); }
    Result subscribe(std::string_view query, Subscription& out) const;

  private:
    std::string m_nameSpace;
};

class Subscription {
  public:
    Subscription() = default;
    bool isValid() const { return !m_className.empty(); }
    void release() { m_className.clear(); }
    Result next(std::chrono::milliseconds timeout, EventObject& out);

  private:
    friend class Connection;
    std::string m_nameSpace;
    std::string m_className;
    std::int64_t m_lastSeen = 0;
};

}  // namespace platform::wmi
