#include "sim/service_store.h"

#include <chrono>

namespace sim::svc {

namespace {

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

struct StoredState {
    State state;
    bool acceptsStop;
    std::int64_t startBeganMs;
};

std::optional<StoredState> stored(Store& store, std::int64_t id) {
    Statement row = store.prepare("SELECT state, accepts_stop, start_began_ms FROM service WHERE id = ?");
    row.bind(1, id);
    if (!row.step())
        return std::nullopt;
    return StoredState{static_cast<State>(row.columnInt(0)), row.columnInt(1) != 0, row.columnInt(2)};
}

void writeState(Store& store, std::int64_t id, State state, std::int64_t startBeganMs) {
    store.prepare("UPDATE service SET state = ?, start_began_ms = ? WHERE id = ?")
        .bind(1, static_cast<std::int64_t>(state))
        .bind(2, startBeganMs)
        .bind(3, id)
        .run();
}

}  // namespace

void addService(Store& store, std::string_view name, std::string_view displayName, State state,
                bool acceptsStop) {
    store.prepare("INSERT INTO service(name, display_name, state, accepts_stop) VALUES(?, ?, ?, ?)")
        .bind(1, name)
        .bind(2, displayName)
        .bind(3, static_cast<std::int64_t>(state))
        .bind(4, acceptsStop ? 1 : 0)
        .run();
}

std::optional<std::int64_t> findService(Store& store, std::string_view name) {
    Statement row = store.prepare("SELECT id FROM service WHERE name = ?");
    row.bind(1, name);
    if (!row.step())
        return std::nullopt;
    return row.columnInt(0);
}

std::vector<ServiceRow> allServices(Store& store) {
    Statement rows = store.prepare("SELECT id, name, display_name FROM service ORDER BY id");
    std::vector<ServiceRow> result;
    while (rows.step()) result.push_back({rows.columnInt(0), rows.columnText(1), rows.columnText(2)});
    return result;
}

std::optional<Status> status(Store& store, std::int64_t id) {
    const auto row = stored(store, id);
    if (!row)
        return std::nullopt;
    Status result{row->state, row->acceptsStop, 0, 0};
    if (row->state != State::StartPending)
        return result;
    // A clock set back (or a start recorded on another boot) counts as a finished start.
    const std::int64_t elapsed = nowMs() - row->startBeganMs;
    if (elapsed < 0 || elapsed >= kStartDurationMs) {
        result.state = State::Running;
        return result;
    }
    result.checkPoint = static_cast<std::uint32_t>(1 + elapsed / kCheckPointStepMs);
    result.waitHintMs = kStartWaitHintMs;
    return result;
}

Outcome start(Store& store, std::int64_t id) {
    Store::Transaction transaction(store);
    const auto current = status(store, id);
    if (!current)
        return Outcome::Missing;
    if (current->state != State::Stopped)
        return Outcome::NotStopped;
    writeState(store, id, State::StartPending, nowMs());
    transaction.commit();
    return Outcome::Done;
}

Outcome stop(Store& store, std::int64_t id) {
    Store::Transaction transaction(store);
    const auto current = status(store, id);
    if (!current)
        return Outcome::Missing;
    if (current->state == State::Stopped)
        return Outcome::NotRunning;
    if (current->state != State::Running || !current->acceptsStop)
        return Outcome::CannotAccept;
    writeState(store, id, State::Stopped, 0);
    transaction.commit();
    return Outcome::Done;
}

std::string_view stateName(State state) {
    switch (state) {
        case State::Stopped:
            return "stopped";
        case State::StartPending:
            return "start-pending";
        case State::StopPending:
            return "stop-pending";
        case State::Running:
            return "running";
    }
    return "?";
}

}  // namespace sim::svc
