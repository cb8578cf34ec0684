#pragma once
// The registry hives of a machine, as rows of the store. This is the storage side only; programs
// use platform/registry.h, which adds handles, access rights and the Windows-like error results.
//
// Paths are '\'-separated names below a key; empty components (leading, trailing or doubled
// backslashes) are ignored. Names compare case-insensitively in ASCII and keep their first case.
// Subkeys and values enumerate in creation order; overwriting a value keeps its place.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/store.h"

namespace sim::reg {

using KeyId = std::int64_t;

enum class Hive { LocalMachine, DynData };

// Registry value types, with the numbers the .reg format and the Windows API use.
inline constexpr std::uint32_t kTypeNone = 0;
inline constexpr std::uint32_t kTypeString = 1;
inline constexpr std::uint32_t kTypeExpandString = 2;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;
inline constexpr std::uint32_t kTypeMultiString = 7;

struct Value {
    std::string name;  // "" is the key's unnamed (default) value
    std::uint32_t type = kTypeNone;
    std::vector<std::uint8_t> data;
};

std::string_view hiveName(Hive hive);                     // "HKEY_LOCAL_MACHINE", "HKEY_DYN_DATA"
std::optional<Hive> hiveFromName(std::string_view name);  // also accepts HKLM and any case

// The hive's root key; nullopt when the machine has no such hive (HKEY_DYN_DATA on NT systems).
std::optional<KeyId> hiveRoot(Store& store, Hive hive);
KeyId ensureHive(Store& store, Hive hive);

std::optional<KeyId> findKey(Store& store, KeyId from, std::string_view path);
// Creates every missing component; returns the last one.
KeyId createKey(Store& store, KeyId from, std::string_view path);
bool keyExists(Store& store, KeyId key);
// The key's full path with every name in its stored case, starting with the hive name.
std::string keyPath(Store& store, KeyId key);
// Deletes the key with its whole subtree; the hive roots cannot be deleted.
bool deleteKey(Store& store, KeyId key);

std::optional<std::string> subkeyAt(Store& store, KeyId key, std::size_t index);
std::vector<std::pair<KeyId, std::string>> subkeys(Store& store, KeyId key);

std::optional<Value> readValue(Store& store, KeyId key, std::string_view name);
std::optional<Value> valueAt(Store& store, KeyId key, std::size_t index);
std::vector<Value> values(Store& store, KeyId key);
void writeValue(Store& store, KeyId key, std::string_view name, std::uint32_t type,
                std::span<const std::uint8_t> data);
bool deleteValue(Store& store, KeyId key, std::string_view name);

// Convenience for machine builders: creates the key and writes one value.
void setString(Store& store, KeyId key, std::string_view name, std::string_view text);
void setDword(Store& store, KeyId key, std::string_view name, std::uint32_t value);
void setMultiString(Store& store, KeyId key, std::string_view name, const std::vector<std::string>& strings);

std::vector<std::uint8_t> stringData(std::string_view text);  // text and its NUL
std::vector<std::uint8_t> multiStringData(const std::vector<std::string>& strings);
std::vector<std::string> splitMultiString(std::span<const std::uint8_t> data);

}  // namespace sim::reg
