#pragma once
// The registry of the machine: hives, keys opened with access rights, typed values.
//
// Contract (what the suite relies on):
// - Key and value names compare case-insensitively (ASCII) and keep the case first written.
// - REG_SZ data counts its terminating NUL; REG_DWORD is 4 bytes little-endian.
// - A read whose data is larger than the caller's limit fails with Error::MoreData and leaves the
//   output untouched; callers' size limits depend on it.
// - Subkeys and values enumerate in creation order; past the last one the result is NoMoreItems.
// - Deleting a key deletes its whole subtree.
// - A change is visible to every other process at its next read. Several changes made inside one
//   Transaction become visible together, or not at all if the process dies first.
// - A key handle whose key was deleted (by anyone) fails with KeyDeleted.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace platform::registry {

enum class Hive { LocalMachine, DynData };

enum class Access { Read, Write, All };

enum class ValueType : std::uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    MultiString = 7,
};

struct Value {
    std::string name;
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;
};

class Key {
  public:
    Key() = default;

    static Error open(Hive hive, std::string_view path, Access access, Key& out);
    // Creates every missing component; the key is opened with all access.
    static Error create(Hive hive, std::string_view path, Key& out);

    // An empty path opens another handle to this key.
    Error openSub(std::string_view path, Access access, Key& out) const;
    Error createSub(std::string_view path, Key& out) const;

    bool isOpen() const { return m_id != 0; }
    void close() { m_id = 0; }
    // The key's full path, names in their stored case ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
    std::string path() const;

    Error queryValue(std::string_view name, std::size_t maxBytes, Value& out) const;
    Error setValue(std::string_view name, ValueType type, std::span<const std::uint8_t> data) const;
    Error setString(std::string_view name, std::string_view text) const;
    Error setDword(std::string_view name, std::uint32_t value) const;
    Error setMultiString(std::string_view name, const std::vector<std::string>& strings) const;
    Error deleteValue(std::string_view name) const;

    // Typed reads: fail with InvalidData when the value has another type.
    Error readString(std::string_view name, std::size_t maxBytes, std::string& out) const;
    Error readDword(std::string_view name, std::uint32_t& out) const;

    Error subkeyAt(std::size_t index, std::string& name) const;
    Error valueAt(std::size_t index, Value& out) const;

    // Deletes the key at path below this one with its whole subtree.
    Error deleteTree(std::string_view path) const;

  private:
    Key(std::int64_t id, Access access) : m_id(id), m_access(access) {}
    bool canRead() const { return m_access != Access::Write; }
    bool canWrite() const { return m_access != Access::Read; }

    std::int64_t m_id = 0;
    Access m_access = Access::Read;
};

// Deletes hive\path with its whole subtree.
Error deleteTree(Hive hive, std::string_view path);

// Makes every registry change of this thread until commit() one change. Without commit() (an early
// return, an exception) nothing of it is kept. Scopes nest; the outermost one decides.
class Transaction {
  public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // False when the machine store could not commit (nothing was kept then).
    bool commit();

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The REG_SZ text of a value's data without its NUL (and anything after a first inner NUL).
std::string textOf(std::span<const std::uint8_t> data);
std::vector<std::string> multiStringsOf(std::span<const std::uint8_t> data);

}  // namespace platform::registry
