#include "sim/device_store.h"

#include "sim/registry_store.h"

namespace sim::dev {

namespace {

constexpr const char* kColumns =
    "id, instance_id, class_guid, description, hardware_ids, driver, service, present, enabled, problem, "
    "starts";

Device deviceFromRow(const Statement& row) {
    Device device;
    device.id = row.columnInt(0);
    device.instanceId = row.columnText(1);
    device.classGuid = row.columnText(2);
    device.description = row.columnText(3);
    device.hardwareIds = reg::splitMultiString(row.columnBlob(4));
    device.driver = row.columnText(5);
    device.service = row.columnText(6);
    device.present = row.columnInt(7) != 0;
    device.enabled = row.columnInt(8) != 0;
    device.problem = static_cast<std::uint32_t>(row.columnInt(9));
    device.starts = row.columnInt(10);
    return device;
}

std::vector<Device> query(Store& store, const std::string& where) {
    Statement statement =
        store.prepare(std::string("SELECT ") + kColumns + " FROM device " + where + " ORDER BY id");
    std::vector<Device> devices;
    while (statement.step()) devices.push_back(deviceFromRow(statement));
    return devices;
}

bool changed(Store& store) {
    Statement changes = store.prepare("SELECT changes()");
    changes.step();
    return changes.columnInt(0) > 0;
}

}  // namespace

std::vector<Device> allDevices(Store& store) {
    return query(store, "");
}

std::vector<Device> presentDevices(Store& store) {
    return query(store, "WHERE present = 1");
}

std::optional<Device> findDevice(Store& store, std::string_view instanceId) {
    Statement statement =
        store.prepare(std::string("SELECT ") + kColumns + " FROM device WHERE instance_id = ?");
    statement.bind(1, instanceId);
    if (!statement.step())
        return std::nullopt;
    return deviceFromRow(statement);
}

std::int64_t addDevice(Store& store, const Device& device) {
    Store::Transaction transaction(store);
    store
        .prepare(
            "INSERT INTO device(instance_id, class_guid, description, hardware_ids, driver, service, "
            "present, "
            "enabled, problem, starts) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, device.instanceId)
        .bind(2, device.classGuid)
        .bind(3, device.description)
        .bindBlob(4, reg::multiStringData(device.hardwareIds))
        .bind(5, device.driver)
        .bind(6, device.service)
        .bind(7, device.present ? 1 : 0)
        .bind(8, device.enabled ? 1 : 0)
        .bind(9, device.enabled ? device.problem : kProblemDisabled)
        .bind(10, device.present && device.enabled ? 1 : 0)
        .run();
    Statement id = store.prepare("SELECT last_insert_rowid()");
    id.step();
    const std::int64_t newId = id.columnInt(0);
    syncDynamicEntries(store);
    transaction.commit();
    return newId;
}

bool setEnabled(Store& store, std::string_view instanceId, bool enabled) {
    Store::Transaction transaction(store);
    store
        .prepare(
            "UPDATE device SET enabled = ?, problem = ?, starts = starts + ? WHERE instance_id = ? AND "
            "present = 1")
        .bind(1, enabled ? 1 : 0)
        .bind(2, enabled ? 0 : kProblemDisabled)
        .bind(3, enabled ? 1 : 0)
        .bind(4, instanceId)
        .run();
    const bool done = changed(store);
    if (done)
        syncDynamicEntries(store);
    transaction.commit();
    return done;
}

bool restart(Store& store, std::string_view instanceId) {
    Store::Transaction transaction(store);
    store
        .prepare(
            "UPDATE device SET starts = starts + 1 WHERE instance_id = ? AND present = 1 AND enabled = 1")
        .bind(1, instanceId)
        .run();
    const bool done = changed(store);
    if (done)
        syncDynamicEntries(store);
    transaction.commit();
    return done;
}

bool setPresent(Store& store, std::string_view instanceId, bool present) {
    Store::Transaction transaction(store);
    store
        .prepare(
            "UPDATE device SET present = ?, starts = starts + (? AND enabled) WHERE instance_id = ? AND "
            "present = ?")
        .bind(1, present ? 1 : 0)
        .bind(2, present ? 1 : 0)
        .bind(3, instanceId)
        .bind(4, present ? 0 : 1)
        .run();
    const bool done = changed(store);
    if (done)
        syncDynamicEntries(store);
    transaction.commit();
    return done;
}

}  // namespace sim::dev
