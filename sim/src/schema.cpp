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

// Network cards: the address each card has (mac as 12 hex digits) and the lease its DHCP client
// holds (texts, empty when none). Services: state and, while start-pending, when the start began
// (milliseconds of the system clock), so every process computes the same progress. Hardware
// events: queued rows that subscribers read in id order, each from its own position.
constexpr const char* kMachineTables = R"sql(
CREATE TABLE IF NOT EXISTS net_card(
    device_id     INTEGER PRIMARY KEY REFERENCES device(id) ON DELETE CASCADE,
    mac           TEXT NOT NULL,
    lease_ip      TEXT NOT NULL DEFAULT '',
    lease_mask    TEXT NOT NULL DEFAULT '',
    lease_gateway TEXT NOT NULL DEFAULT '',
    dhcp_server   TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS service(
    id             INTEGER PRIMARY KEY,
    name           TEXT NOT NULL UNIQUE COLLATE NOCASE,
    display_name   TEXT NOT NULL,
    state          INTEGER NOT NULL,
    accepts_stop   INTEGER NOT NULL DEFAULT 1,
    start_began_ms INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS hw_event(
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    namespace  TEXT NOT NULL COLLATE NOCASE,
    class_name TEXT NOT NULL COLLATE NOCASE,
    property   TEXT NOT NULL,
    value      INTEGER NOT NULL);
)sql";

// The adapter driver's side: the networks in range (bssid 6 bytes, key the plain key bytes,
// security 0 open / 1 WEP / 2 AES), the driver's state per device instance (its parameters in force,
// association, counters; keys holds 5 slots of a length byte and 16 key bytes), the journal of every request
// it received, and the failures it was told to fake (kind 'next': the next `remaining` requests; kind 'oid':
// every request of `oid`).
constexpr const char* kDriverTables = R"sql(
CREATE TABLE IF NOT EXISTS radio_network(
    id             INTEGER PRIMARY KEY,
    ssid           TEXT NOT NULL,
    bssid          BLOB NOT NULL UNIQUE,
    frequency_khz  INTEGER NOT NULL,
    flags          INTEGER NOT NULL,
    infrastructure INTEGER NOT NULL,
    security       INTEGER NOT NULL,
    key            BLOB NOT NULL,
    base_rssi      INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS driver_state(
    instance_id    TEXT PRIMARY KEY COLLATE NOCASE,
    starts_seen    INTEGER NOT NULL,
    radio_on       INTEGER NOT NULL,
    ssid           TEXT NOT NULL,
    infrastructure INTEGER NOT NULL,
    net_band       INTEGER NOT NULL,
    privacy        INTEGER NOT NULL,
    default_key    INTEGER NOT NULL,
    encryption_alg INTEGER NOT NULL,
    keys           BLOB NOT NULL,
    bssid          BLOB NOT NULL,
    link_since_ms  INTEGER NOT NULL,
    tx_frames      INTEGER NOT NULL,
    rx_frames      INTEGER NOT NULL,
    country        TEXT NOT NULL,
    network_address TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS driver_journal(
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    time_ms     INTEGER NOT NULL,
    instance_id TEXT NOT NULL,
    direction   TEXT NOT NULL,
    oid         INTEGER NOT NULL,
    length      INTEGER NOT NULL,
    bytes_in    BLOB NOT NULL,
    bytes_out   BLOB NOT NULL,
    transferred INTEGER NOT NULL,
    needed      INTEGER NOT NULL,
    result      INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS driver_fault(
    id        INTEGER PRIMARY KEY,
    kind      TEXT NOT NULL,
    oid       INTEGER NOT NULL DEFAULT 0,
    remaining INTEGER NOT NULL DEFAULT 0);
)sql";

}  // namespace

void createSchema(Store& store) {
    store.exec(kRegistryTables);
    store.exec(kDeviceTables);
    store.exec(kDriverTables);
    store.exec(kMachineTables);
}

}  // namespace sim
