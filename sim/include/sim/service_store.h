#pragma once
// The services of a machine, as rows of the store, with the start-up walk a real service shows.
//
// A start leaves the service start-pending and records when the start began; its progress is a
// function of the time since then, so every process sees the same walk without anyone driving it:
// the check point advances every kCheckPointStepMs with a steady wait hint, and after
// kStartDurationMs the service counts as running. A stop of a running service is immediate.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/store.h"

namespace sim::svc {

enum class State : std::uint32_t { Stopped = 1, StartPending = 2, StopPending = 3, Running = 4 };

inline constexpr std::int64_t kStartDurationMs = 1500;
inline constexpr std::int64_t kCheckPointStepMs = 300;
inline constexpr std::uint32_t kStartWaitHintMs = 3000;

struct Status {
    State state = State::Stopped;
    bool acceptsStop = true;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHintMs = 0;
};

struct ServiceRow {
    std::int64_t id = 0;
    std::string name;
    std::string displayName;
};

enum class Outcome { Done, NotStopped, NotRunning, CannotAccept, Missing };

void addService(Store& store, std::string_view name, std::string_view displayName, State state,
                bool acceptsStop = true);
std::optional<std::int64_t> findService(Store& store, std::string_view name);
std::vector<ServiceRow> allServices(Store& store);

std::optional<Status> status(Store& store, std::int64_t id);
Outcome start(Store& store, std::int64_t id);
Outcome stop(Store& store, std::int64_t id);

std::string_view stateName(State state);

}  // namespace sim::svc
