#include "sim/hw_events.h"

namespace sim::events {

std::int64_t queueEvent(Store& store, const Event& event) {
    Store::Transaction transaction(store);
    store.prepare("INSERT INTO hw_event(namespace, class_name, property, value) VALUES(?, ?, ?, ?)")
        .bind(1, event.nameSpace)
        .bind(2, event.className)
        .bind(3, event.property)
        .bind(4, event.value)
        .run();
    const std::int64_t id = lastEventId(store);
    transaction.commit();
    return id;
}

std::int64_t lastEventId(Store& store) {
    Statement row = store.prepare("SELECT COALESCE(MAX(id), 0) FROM hw_event");
    row.step();
    return row.columnInt(0);
}

std::optional<Event> nextEvent(Store& store, std::int64_t afterId, std::string_view nameSpace,
                               std::string_view className) {
    Statement row = store.prepare(
        "SELECT id, namespace, class_name, property, value FROM hw_event "
        "WHERE id > ? AND namespace = ? AND class_name = ? ORDER BY id LIMIT 1");
    row.bind(1, afterId).bind(2, nameSpace).bind(3, className);
    if (!row.step())
        return std::nullopt;
    return Event{row.columnInt(0), row.columnText(1), row.columnText(2), row.columnText(3), row.columnInt(4)};
}

bool wmiAvailable(Store& store) {
    return store.setting(kWmiSetting).value_or("on") != "off";
}

void setWmiAvailable(Store& store, bool available) {
    store.setSetting(kWmiSetting, available ? "on" : "off");
}

bool radioKeyOn(Store& store) {
    return store.setting(kRadioKeySetting).value_or("on") != "off";
}

void setRadioKey(Store& store, bool on) {
    Store::Transaction transaction(store);
    store.setSetting(kRadioKeySetting, on ? "on" : "off");
    queueEvent(store, Event{0, std::string(kWmiNamespace), std::string(kRadioKeyClass),
                            std::string(kRadioKeyProperty), on ? 1 : 0});
    transaction.commit();
}

}  // namespace sim::events
