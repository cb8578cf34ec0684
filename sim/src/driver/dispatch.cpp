// One request from the access library: injected faults, the device's state, the driver's state
// and association, the answer, and the journal entry, all in one store transaction.

#include <algorithm>

#include "requests.h"
#include "sim/device_store.h"

namespace sim::driver {

namespace {

std::int64_t millis(Clock::time_point now) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
}

// Consumes one 'next' fault, or finds an 'oid' fault for this OID.
bool faultHits(Store& store, std::uint32_t oid) {
    Statement next =
        store.prepare("SELECT id, remaining FROM driver_fault WHERE kind = 'next' ORDER BY id LIMIT 1");
    if (next.step()) {
        const std::int64_t id = next.columnInt(0);
        const std::int64_t remaining = next.columnInt(1);
        if (remaining <= 1) {
            store.prepare("DELETE FROM driver_fault WHERE id = ?").bind(1, id).run();
        } else {
            store.prepare("UPDATE driver_fault SET remaining = ? WHERE id = ?")
                .bind(1, remaining - 1)
                .bind(2, id)
                .run();
        }
        return true;
    }
    Statement byOid = store.prepare("SELECT 1 FROM driver_fault WHERE kind = 'oid' AND oid = ?");
    byOid.bind(1, oid);
    return byOid.step();
}

std::span<const std::uint8_t> capped(std::span<const std::uint8_t> bytes) {
    return bytes.first(std::min(bytes.size(), kJournalDataLimit));
}

void writeJournal(Store& store, const NetCard& card, const Request& request, std::span<const std::uint8_t> in,
                  std::span<const std::uint8_t> out, std::uint32_t length, Status status,
                  Clock::time_point now) {
    store
        .prepare(
            "INSERT INTO driver_journal(time_ms, instance_id, direction, oid, length, bytes_in, bytes_out, "
            "transferred, needed, result) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, millis(now))
        .bind(2, card.deviceInstanceId)
        .bind(3, request.set ? "S" : "Q")
        .bind(4, request.oid)
        .bind(5, length)
        .bindBlob(6, capped(in))
        .bindBlob(7, capped(out))
        .bind(8, request.transferred)
        .bind(9, request.needed)
        .bind(10, static_cast<std::uint32_t>(status))
        .run();
    Statement last = store.prepare("SELECT last_insert_rowid()");
    last.step();
    const std::int64_t id = last.columnInt(0);
    if (id % 100 == 0)
        store.prepare("DELETE FROM driver_journal WHERE id <= ?").bind(1, id - kJournalKeep).run();
}

// Reads the parameters again when the device has started since the driver last looked.
void noticeStart(Store& store, const NetCard& card, DriverState& state, Clock::time_point now) {
    const auto device = dev::findDevice(store, card.deviceInstanceId);
    const std::int64_t starts = device ? device->starts : 0;
    if (starts == state.startsSeen)
        return;
    state.startsSeen = starts;
    state.radioOn = true;
    state.settings = card.driverKey ? readParameters(store, *card.driverKey) : StationSettings{};
    associate(store, state, now);
}

Status answer(Store& store, const NetCard& card, Request& request, std::span<std::uint8_t> buffer,
              Clock::time_point now) {
    if (faultHits(store, request.oid))
        return Status::GeneralFailure;
    if (const Status available = cardAvailable(store, card); available != Status::Success)
        return available;
    DriverState state = loadState(store, card.deviceInstanceId).value_or(DriverState{});
    noticeStart(store, card, state, now);
    refreshAssociation(store, state, now);
    RequestContext context{store, card, state, now};
    const Status status =
        request.set ? applySet(context, request, buffer) : answerQuery(context, request, buffer);
    saveState(store, card.deviceInstanceId, state);
    return status;
}

}  // namespace

Status handleRequest(Store& store, const NetCard& card, Request& request, std::span<std::uint8_t> buffer) {
    const auto now = Clock::now();
    request.transferred = 0;
    request.needed = 0;
    const std::vector<std::uint8_t> in =
        request.set ? std::vector<std::uint8_t>(capped(buffer).begin(), capped(buffer).end())
                    : std::vector<std::uint8_t>{};
    Store::Transaction transaction(store);
    const Status status = answer(store, card, request, buffer, now);
    if (status != Status::Success)
        request.transferred = 0;
    const auto out = request.set ? std::span<const std::uint8_t>()
                                 : std::span<const std::uint8_t>(buffer).first(request.transferred);
    writeJournal(store, card, request, in, out, static_cast<std::uint32_t>(buffer.size()), status, now);
    transaction.commit();
    return status;
}

std::vector<JournalEntry> journal(Store& store) {
    Statement row = store.prepare(
        "SELECT id, time_ms, instance_id, direction, oid, length, bytes_in, bytes_out, transferred, needed, "
        "result "
        "FROM driver_journal ORDER BY id");
    std::vector<JournalEntry> entries;
    while (row.step()) {
        JournalEntry entry;
        entry.id = row.columnInt(0);
        entry.timeMs = row.columnInt(1);
        entry.instanceId = row.columnText(2);
        entry.set = row.columnText(3) == "S";
        entry.oid = static_cast<std::uint32_t>(row.columnInt(4));
        entry.length = static_cast<std::uint32_t>(row.columnInt(5));
        entry.bytesIn = row.columnBlob(6);
        entry.bytesOut = row.columnBlob(7);
        entry.transferred = static_cast<std::uint32_t>(row.columnInt(8));
        entry.needed = static_cast<std::uint32_t>(row.columnInt(9));
        entry.result = static_cast<Status>(row.columnInt(10));
        entries.push_back(std::move(entry));
    }
    return entries;
}

void clearJournal(Store& store) {
    store.exec("DELETE FROM driver_journal");
}

void failNextRequests(Store& store, std::int64_t count) {
    Store::Transaction transaction(store);
    store.exec("DELETE FROM driver_fault WHERE kind = 'next'");
    if (count > 0)
        store.prepare("INSERT INTO driver_fault(kind, remaining) VALUES('next', ?)").bind(1, count).run();
    transaction.commit();
}

void failOid(Store& store, std::uint32_t oid) {
    store.prepare("INSERT INTO driver_fault(kind, oid) VALUES('oid', ?)").bind(1, oid).run();
}

void clearFaults(Store& store) {
    store.exec("DELETE FROM driver_fault");
}

}  // namespace sim::driver
