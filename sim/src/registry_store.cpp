#include "sim/registry_store.h"

#include "vessra/common/bytes.h"
#include "vessra/common/text.h"

namespace sim::reg {

namespace {

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::optional<KeyId> childKey(Store& store, KeyId parent, std::string_view name) {
    Statement statement = store.prepare("SELECT id FROM reg_key WHERE parent = ? AND name = ?");
    statement.bind(1, parent).bind(2, name);
    if (!statement.step())
        return std::nullopt;
    return statement.columnInt(0);
}

Value valueFromRow(const Statement& statement) {
    return Value{statement.columnText(0), static_cast<std::uint32_t>(statement.columnInt(1)),
                 statement.columnBlob(2)};
}

}  // namespace

std::string_view hiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_DYN_DATA";
}

std::optional<Hive> hiveFromName(std::string_view name) {
    if (vessra::equalsIgnoreAsciiCase(name, "HKEY_LOCAL_MACHINE") ||
        vessra::equalsIgnoreAsciiCase(name, "HKLM")) {
        return Hive::LocalMachine;
    }
    if (vessra::equalsIgnoreAsciiCase(name, "HKEY_DYN_DATA") || vessra::equalsIgnoreAsciiCase(name, "HKDD")) {
        return Hive::DynData;
    }
    return std::nullopt;
}

std::optional<KeyId> hiveRoot(Store& store, Hive hive) {
    Statement statement = store.prepare("SELECT id FROM reg_key WHERE parent IS NULL AND name = ?");
    statement.bind(1, hiveName(hive));
    if (!statement.step())
        return std::nullopt;
    return statement.columnInt(0);
}

KeyId ensureHive(Store& store, Hive hive) {
    if (auto root = hiveRoot(store, hive))
        return *root;
    store.prepare("INSERT INTO reg_key(parent, name) VALUES(NULL, ?)").bind(1, hiveName(hive)).run();
    return *hiveRoot(store, hive);
}

std::optional<KeyId> findKey(Store& store, KeyId from, std::string_view path) {
    if (!keyExists(store, from))
        return std::nullopt;
    KeyId current = from;
    for (std::string_view part : splitPath(path)) {
        auto child = childKey(store, current, part);
        if (!child)
            return std::nullopt;
        current = *child;
    }
    return current;
}

KeyId createKey(Store& store, KeyId from, std::string_view path) {
    Store::Transaction transaction(store);
    if (!keyExists(store, from))
        throw StoreError("the parent key no longer exists");
    KeyId current = from;
    for (std::string_view part : splitPath(path)) {
        if (auto child = childKey(store, current, part)) {
            current = *child;
            continue;
        }
        store.prepare("INSERT INTO reg_key(parent, name) VALUES(?, ?)").bind(1, current).bind(2, part).run();
        current = *childKey(store, current, part);
    }
    transaction.commit();
    return current;
}

bool keyExists(Store& store, KeyId key) {
    Statement statement = store.prepare("SELECT 1 FROM reg_key WHERE id = ?");
    statement.bind(1, key);
    return statement.step();
}

std::string keyPath(Store& store, KeyId key) {
    std::string path;
    Statement statement = store.prepare("SELECT parent, name FROM reg_key WHERE id = ?");
    for (std::optional<KeyId> current = key; current;) {
        statement.bind(1, *current);
        if (!statement.step())
            break;
        path = statement.columnText(1) + (path.empty() ? "" : "\\" + path);
        current = statement.columnIsNull(0) ? std::nullopt : std::optional<KeyId>(statement.columnInt(0));
        statement.reset();
    }
    return path;
}

bool deleteKey(Store& store, KeyId key) {
    Store::Transaction transaction(store);
    store.prepare("DELETE FROM reg_key WHERE id = ? AND parent IS NOT NULL").bind(1, key).run();
    Statement changes = store.prepare("SELECT changes()");
    changes.step();
    const bool deleted = changes.columnInt(0) > 0;
    transaction.commit();
    return deleted;
}

std::optional<std::string> subkeyAt(Store& store, KeyId key, std::size_t index) {
    Statement statement =
        store.prepare("SELECT name FROM reg_key WHERE parent = ? ORDER BY id LIMIT 1 OFFSET ?");
    statement.bind(1, key).bind(2, static_cast<std::int64_t>(index));
    if (!statement.step())
        return std::nullopt;
    return statement.columnText(0);
}

std::vector<std::pair<KeyId, std::string>> subkeys(Store& store, KeyId key) {
    Statement statement = store.prepare("SELECT id, name FROM reg_key WHERE parent = ? ORDER BY id");
    statement.bind(1, key);
    std::vector<std::pair<KeyId, std::string>> result;
    while (statement.step()) result.emplace_back(statement.columnInt(0), statement.columnText(1));
    return result;
}

std::optional<Value> readValue(Store& store, KeyId key, std::string_view name) {
    Statement statement = store.prepare("SELECT name, type, data FROM reg_value WHERE key = ? AND name = ?");
    statement.bind(1, key).bind(2, name);
    if (!statement.step())
        return std::nullopt;
    return valueFromRow(statement);
}

std::optional<Value> valueAt(Store& store, KeyId key, std::size_t index) {
    Statement statement =
        store.prepare("SELECT name, type, data FROM reg_value WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
    statement.bind(1, key).bind(2, static_cast<std::int64_t>(index));
    if (!statement.step())
        return std::nullopt;
    return valueFromRow(statement);
}

std::vector<Value> values(Store& store, KeyId key) {
    Statement statement = store.prepare("SELECT name, type, data FROM reg_value WHERE key = ? ORDER BY id");
    statement.bind(1, key);
    std::vector<Value> result;
    while (statement.step()) result.push_back(valueFromRow(statement));
    return result;
}

void writeValue(Store& store, KeyId key, std::string_view name, std::uint32_t type,
                std::span<const std::uint8_t> data) {
    Store::Transaction transaction(store);
    if (!keyExists(store, key))
        throw StoreError("the key no longer exists");
    // An overwrite keeps the value's place and the case of its first name.
    store
        .prepare(
            "INSERT INTO reg_value(key, name, type, data) VALUES(?, ?, ?, ?) "
            "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data")
        .bind(1, key)
        .bind(2, name)
        .bind(3, static_cast<std::int64_t>(type))
        .bindBlob(4, data)
        .run();
    transaction.commit();
}

bool deleteValue(Store& store, KeyId key, std::string_view name) {
    if (!readValue(store, key, name))
        return false;
    store.prepare("DELETE FROM reg_value WHERE key = ? AND name = ?").bind(1, key).bind(2, name).run();
    return true;
}

void setString(Store& store, KeyId key, std::string_view name, std::string_view text) {
    writeValue(store, key, name, kTypeString, stringData(text));
}

void setDword(Store& store, KeyId key, std::string_view name, std::uint32_t value) {
    writeValue(store, key, name, kTypeDword, vessra::dwordBytes(value));
}

void setMultiString(Store& store, KeyId key, std::string_view name, const std::vector<std::string>& strings) {
    writeValue(store, key, name, kTypeMultiString, multiStringData(strings));
}

std::vector<std::uint8_t> stringData(std::string_view text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

std::vector<std::uint8_t> multiStringData(const std::vector<std::string>& strings) {
    std::vector<std::uint8_t> data;
    for (const std::string& text : strings) {
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

std::vector<std::string> splitMultiString(std::span<const std::uint8_t> data) {
    std::vector<std::string> strings;
    std::string current;
    for (std::uint8_t byte : data) {
        if (byte != 0) {
            current.push_back(static_cast<char>(byte));
            continue;
        }
        if (current.empty())
            break;  // the closing empty string
        strings.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty())
        strings.push_back(std::move(current));
    return strings;
}

}  // namespace sim::reg
