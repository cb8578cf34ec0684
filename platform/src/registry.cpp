#include "platform/registry.h"

#include <optional>

#include "machine_connection.h"
#include "sim/registry_store.h"
#include "vessra/common/bytes.h"

namespace platform::registry {

namespace {

using detail::guarded;
namespace reg = sim::reg;

reg::Hive toStoreHive(Hive hive) {
    return hive == Hive::LocalMachine ? reg::Hive::LocalMachine : reg::Hive::DynData;
}

// A handle whose key has gone fails the way the system's registry does.
Error checkKey(sim::Store& store, std::int64_t id) {
    if (id == 0)
        return Error::InvalidHandle;
    return reg::keyExists(store, id) ? Error::Success : Error::KeyDeleted;
}

}  // namespace

Error Key::open(Hive hive, std::string_view path, Access access, Key& out) {
    return guarded([&](sim::Store& store) {
        const auto root = reg::hiveRoot(store, toStoreHive(hive));
        if (!root)
            return Error::FileNotFound;
        const auto id = reg::findKey(store, *root, path);
        if (!id)
            return Error::FileNotFound;
        out = Key(*id, access);
        return Error::Success;
    });
}

Error Key::create(Hive hive, std::string_view path, Key& out) {
    return guarded([&](sim::Store& store) {
        const auto root = reg::hiveRoot(store, toStoreHive(hive));
        if (!root)
            return Error::FileNotFound;
        out = Key(reg::createKey(store, *root, path), Access::All);
        return Error::Success;
    });
}

Error Key::openSub(std::string_view path, Access access, Key& out) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        const auto id = reg::findKey(store, m_id, path);
        if (!id)
            return Error::FileNotFound;
        out = Key(*id, access);
        return Error::Success;
    });
}

Error Key::createSub(std::string_view path, Key& out) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canWrite())
            return Error::AccessDenied;
        out = Key(reg::createKey(store, m_id, path), Access::All);
        return Error::Success;
    });
}

std::string Key::path() const {
    std::string result;
    guarded([&](sim::Store& store) {
        if (reg::keyExists(store, m_id))
            result = reg::keyPath(store, m_id);
        return Error::Success;
    });
    return result;
}

Error Key::queryValue(std::string_view name, std::size_t maxBytes, Value& out) const {
    return guarded([&](sim::Store& store) {
        if (m_id == 0)
            return Error::InvalidHandle;
        if (!canRead())
            return Error::AccessDenied;
        // The hot path of every load: one statement. A deleted key is told apart only on a miss.
        auto value = reg::readValue(store, m_id, name);
        if (!value)
            return reg::keyExists(store, m_id) ? Error::FileNotFound : Error::KeyDeleted;
        if (value->data.size() > maxBytes)
            return Error::MoreData;
        out = Value{std::move(value->name), static_cast<ValueType>(value->type), std::move(value->data)};
        return Error::Success;
    });
}

Error Key::setValue(std::string_view name, ValueType type, std::span<const std::uint8_t> data) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canWrite())
            return Error::AccessDenied;
        reg::writeValue(store, m_id, name, static_cast<std::uint32_t>(type), data);
        return Error::Success;
    });
}

Error Key::setString(std::string_view name, std::string_view text) const {
    return setValue(name, ValueType::String, reg::stringData(text));
}

Error Key::setDword(std::string_view name, std::uint32_t value) const {
    return setValue(name, ValueType::Dword, vessra::dwordBytes(value));
}

Error Key::setMultiString(std::string_view name, const std::vector<std::string>& strings) const {
    return setValue(name, ValueType::MultiString, reg::multiStringData(strings));
}

Error Key::deleteValue(std::string_view name) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canWrite())
            return Error::AccessDenied;
        return reg::deleteValue(store, m_id, name) ? Error::Success : Error::FileNotFound;
    });
}

Error Key::readString(std::string_view name, std::size_t maxBytes, std::string& out) const {
    Value value;
    if (Error error = queryValue(name, maxBytes, value); error != Error::Success)
        return error;
    if (value.type != ValueType::String)
        return Error::InvalidData;
    out = textOf(value.data);
    return Error::Success;
}

Error Key::readDword(std::string_view name, std::uint32_t& out) const {
    Value value;
    if (Error error = queryValue(name, 4, value); error != Error::Success)
        return error;
    if (value.type != ValueType::Dword || value.data.size() != 4)
        return Error::InvalidData;
    out = vessra::readLe32(value.data, 0);
    return Error::Success;
}

Error Key::subkeyAt(std::size_t index, std::string& name) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canRead())
            return Error::AccessDenied;
        auto found = reg::subkeyAt(store, m_id, index);
        if (!found)
            return Error::NoMoreItems;
        name = std::move(*found);
        return Error::Success;
    });
}

Error Key::valueAt(std::size_t index, Value& out) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canRead())
            return Error::AccessDenied;
        auto found = reg::valueAt(store, m_id, index);
        if (!found)
            return Error::NoMoreItems;
        out = Value{std::move(found->name), static_cast<ValueType>(found->type), std::move(found->data)};
        return Error::Success;
    });
}

Error Key::deleteTree(std::string_view path) const {
    return guarded([&](sim::Store& store) {
        if (Error error = checkKey(store, m_id); error != Error::Success)
            return error;
        if (!canWrite())
            return Error::AccessDenied;
        const auto id = reg::findKey(store, m_id, path);
        if (!id)
            return Error::FileNotFound;
        if (*id == m_id && path.find_first_not_of('\\') == std::string_view::npos)
            return Error::AccessDenied;
        return reg::deleteKey(store, *id) ? Error::Success : Error::AccessDenied;
    });
}

Error deleteTree(Hive hive, std::string_view path) {
    Key root;
    if (Error error = Key::open(hive, "", Access::All, root); error != Error::Success)
        return error;
    return root.deleteTree(path);
}

struct Transaction::State {
    std::optional<sim::Store::Transaction> scope;
};

Transaction::Transaction() : m_state(std::make_unique<State>()) {
    try {
        m_state->scope.emplace(detail::machineStore());
    } catch (const std::exception&) {
        // The calls inside will fail on their own; commit() reports false.
    }
}

Transaction::~Transaction() = default;

bool Transaction::commit() {
    if (!m_state->scope)
        return false;
    try {
        m_state->scope->commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string textOf(std::span<const std::uint8_t> data) {
    std::string text;
    for (std::uint8_t byte : data) {
        if (byte == 0)
            break;
        text.push_back(static_cast<char>(byte));
    }
    return text;
}

std::vector<std::string> multiStringsOf(std::span<const std::uint8_t> data) {
    return reg::splitMultiString(data);
}

}  // namespace platform::registry
