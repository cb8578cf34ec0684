#pragma once
// Hardware events of the machine in the style of WMI, and the hardware radio key that raises them.
//
// Events are queued rows; a subscriber remembers the last id it has seen and reads later rows of its
// namespace and class in order, so several subscribers (in several processes) each see every event
// that was queued after they subscribed. Whether the machine has WMI at all is the setting "wmi".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/store.h"

namespace sim::events {

inline constexpr std::string_view kWmiNamespace = "root\\wmi";
inline constexpr std::string_view kRadioKeyClass = "wmiextra_event";
inline constexpr std::string_view kRadioKeyProperty = "wmi_EventInfo";
inline constexpr std::string_view kRadioKeySetting = "radio_key";
inline constexpr std::string_view kWmiSetting = "wmi";

struct Event {
    std::int64_t id = 0;
    std::string nameSpace;
    std::string className;
    std::string property;
    std::int64_t value = 0;
};

std::int64_t queueEvent(Store& store, const Event& event);
// The id of the newest event (0 when none): a new subscriber starts after it.
std::int64_t lastEventId(Store& store);
std::optional<Event> nextEvent(Store& store, std::int64_t afterId, std::string_view nameSpace,
                               std::string_view className);

bool wmiAvailable(Store& store);
void setWmiAvailable(Store& store, bool available);

// The key's position: "on" unless the setting says "off".
bool radioKeyOn(Store& store);
// Moves the key and queues its event (value 1 on, 0 off) in one transaction.
void setRadioKey(Store& store, bool on);

}  // namespace sim::events
