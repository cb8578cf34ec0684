#include "schema.h"

#include "sim/store.h"

namespace sim {

namespace {

// Key and value names compare case-insensitively in ASCII (SQLite's NOCASE folds ASCII only) and
// keep the case they were first written with. Rows are enumerated by id, which grows with every
// insert, so enumeration follows creation order. Deleting a key cascades to its whole subtree.
constexpr const char* kRegistryTables = R"sql(
CREATE TABLE IF NOT EXISTS setting(
    name  TEXT PRIMARY KEY,
    value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS reg_key(
    id     INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES reg_key(id) ON DELETE CASCADE,
    name   TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE INDEX IF NOT EXISTS reg_key_by_parent ON reg_key(parent, id);
CREATE TABLE IF NOT EXISTS reg_value(
    id   INTEGER PRIMARY KEY,
    key  INTEGER NOT NULL REFERENCES reg_key(id) ON DELETE CASCADE,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, name));
CREATE INDEX IF NOT EXISTS reg_value_by_key ON reg_value(key, id);
)sql";

// The device tree: one row per device node. Rows stay when a device is removed (present = 0) so
// that simhost can insert it again; ids grow with every insert, so enumeration follows insertion.
// hardware_ids holds the REG_MULTI_SZ bytes of the hardware-identifier property.
constexpr const char* kDeviceTables = R"sql(
CREATE TABLE IF NOT EXISTS device(
    id           INTEGER PRIMARY KEY,
    instance_id  TEXT NOT NULL UNIQUE COLLATE NOCASE,
    class_guid   TEXT NOT NULL COLLATE NOCASE,
    description  TEXT NOT NULL,
    hardware_ids BLOB NOT NULL,
    driver       TEXT NOT NULL,
    service      TEXT NOT NULL,
    present      INTEGER NOT NULL DEFAULT 1,
    enabled      INTEGER NOT NULL DEFAULT 1,
    problem      INTEGER NOT NULL DEFAULT 0,
    starts       INTEGER NOT NULL DEFAULT 0);
)sql";

}  // namespace

void createSchema(Store& store) {
    store.exec(kRegistryTables);
    store.exec(kDeviceTables);
}

}  // namespace sim
