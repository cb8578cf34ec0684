#include "sim/driver_parameters.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "sim/driver_keys.h"
#include "vessra/common/bytes.h"

namespace sim::driver {

namespace {

// A fresh installation's values, in the order the configuration utility writes them.
constexpr std::pair<std::string_view, std::string_view> kFreshValues[] = {
    {"ssid", ""},
    {"defaultKey", "4"},
    {"key0", ""},
    {"key1", ""},
    {"key2", ""},
    {"key3", ""},
    {"uniqKey", ""},
    {"keyLength0", "0"},
    {"keyLength1", "0"},
    {"keyLength2", "0"},
    {"keyLength3", "0"},
    {"uniqKeyLength", "0"},
    {"bssType", "1"},
    {"sleepMode", "2"},
    {"TransmitRate", "7"},
    {"ccode", "US"},
    {"privacyInvoked", "0"},
    {"NetBand", "5"},
    {"EncryptionAlg", "2"},
    {"ScanType", "2"},
    {"tpc", "0"},
    {"QoS", "0"},
    {"AdHocBand", "1"},
    {"shortPreamble", "1"},
};

constexpr std::string_view kSealedKeyNames[kKeySlots] = {"key0", "key1", "key2", "key3", "uniqKey"};
constexpr std::string_view kKeyLengthNames[kKeySlots] = {"keyLength0", "keyLength1", "keyLength2",
                                                         "keyLength3", "uniqKeyLength"};

std::optional<std::string> readText(Store& store, reg::KeyId key, std::string_view name) {
    const auto value = reg::readValue(store, key, name);
    if (!value || (value->type != reg::kTypeString && value->type != reg::kTypeExpandString))
        return std::nullopt;
    return vessra::readCString(value->data, 0);
}

std::optional<std::uint32_t> readNumber(Store& store, reg::KeyId key, std::string_view name) {
    const auto text = readText(store, key, name);
    if (!text || text->empty())
        return std::nullopt;
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc{} || end != text->data() + text->size())
        return std::nullopt;
    return number;
}

bool validKeyLength(std::uint32_t length) {
    return length == 5 || length == 13 || length == 16;
}

}  // namespace

void writeDefaultParameters(Store& store, reg::KeyId driverKey) {
    Store::Transaction transaction(store);
    for (const auto& [name, text] : kFreshValues) reg::setString(store, driverKey, name, text);
    transaction.commit();
}

StationSettings readParameters(Store& store, reg::KeyId driverKey) {
    StationSettings settings;
    settings.ssid = readText(store, driverKey, "ssid").value_or("");
    if (settings.ssid.size() > 32)
        settings.ssid.resize(32);
    settings.infrastructure = readText(store, driverKey, "bssType").value_or("1") != "2";
    settings.netBand = readNumber(store, driverKey, "NetBand").value_or(settings.netBand);
    settings.privacy = readNumber(store, driverKey, "privacyInvoked").value_or(0) != 0;
    settings.defaultKey = readNumber(store, driverKey, "defaultKey").value_or(kUniqueKeySlot);
    settings.encryptionAlg = readNumber(store, driverKey, "EncryptionAlg").value_or(kAlgAutomatic);
    settings.country = readText(store, driverKey, "ccode").value_or("US");
    settings.networkAddress = readText(store, driverKey, "NetworkAddress").value_or("");
    const std::string cardId = readText(store, driverKey, "CardCfgId").value_or("");
    for (std::size_t slot = 0; slot < kKeySlots; ++slot) {
        const std::uint32_t length = readNumber(store, driverKey, kKeyLengthNames[slot]).value_or(0);
        const std::string sealed = readText(store, driverKey, kSealedKeyNames[slot]).value_or("");
        if (validKeyLength(length) && !sealed.empty())
            settings.keys[slot] = unsealKeyText(sealed, cardId, length);
    }
    return settings;
}

}  // namespace sim::driver
