// Device-change notices: a thread per watch polls the machine store's data version on a short
// interval (no busy loop) and, when the store changed, compares the device tree's fingerprint, so
// registry writes and other traffic do not raise notices.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "machine_connection.h"
#include "platform/devices.h"

namespace platform::devices {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

std::string deviceFingerprint(sim::Store& store) {
    sim::Statement rows = store.prepare(
        "SELECT group_concat(id || ':' || present || ':' || enabled || ':' || problem || ':' || starts, ',') "
        "FROM (SELECT * FROM device ORDER BY id)");
    rows.step();
    return rows.columnIsNull(0) ? std::string() : rows.columnText(0);
}

}  // namespace

struct DeviceChangeWatch::State {
    std::function<void()> receiver;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;

    std::optional<std::string> fingerprint;  // the tree as last seen; taken when the watch is made

    void run() {
        std::optional<std::int64_t> version;  // per connection, so only this thread's own counts
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, kPollInterval, [this] { return stopping; })) {
            lock.unlock();
            bool changed = false;
            detail::guarded([&](sim::Store& store) {
                const std::int64_t now = store.dataVersion();
                if (version && *version == now)
                    return Error::Success;
                version = now;
                std::string current = deviceFingerprint(store);
                changed = fingerprint && *fingerprint != current;
                fingerprint = std::move(current);
                return Error::Success;
            });
            if (changed)
                receiver();
            lock.lock();
        }
    }
};

DeviceChangeWatch::DeviceChangeWatch(std::function<void()> receiver) : m_state(std::make_unique<State>()) {
    m_state->receiver = std::move(receiver);
    detail::guarded([&](sim::Store& store) {
        m_state->fingerprint = deviceFingerprint(store);
        return Error::Success;
    });
    m_state->thread = std::thread([state = m_state.get()] { state->run(); });
}

DeviceChangeWatch::~DeviceChangeWatch() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    m_state->thread.join();
}

}  // namespace platform::devices
