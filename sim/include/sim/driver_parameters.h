#pragma once
// The parameter values the adapter's driver reads from its driver key whenever its device starts
// (REG_SZ texts written by the configuration utility), and the settings they give the station.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/driver_oids.h"
#include "sim/registry_store.h"
#include "sim/store.h"

namespace sim::driver {

// NetBand bits: which bands and modes the station may use.
inline constexpr std::uint32_t kBand11a = 0x1;
inline constexpr std::uint32_t kBandTurbo = 0x2;
inline constexpr std::uint32_t kBand11b = 0x4;
inline constexpr std::uint32_t kBand11g = 0x8;
inline constexpr std::uint32_t kBandRange = 0x100;
inline constexpr std::uint32_t kBandBaseMask = kBand11a | kBand11b;

// EncryptionAlg values.
inline constexpr std::uint32_t kAlgWep = 0;
inline constexpr std::uint32_t kAlgAes = 1;
inline constexpr std::uint32_t kAlgAutomatic = 2;

// What the station works with; keys are plain (unsealed) bytes, empty = no key in that slot.
struct StationSettings {
    std::string ssid;  // empty or "any" (any case): the best allowed network
    bool infrastructure = true;
    std::uint32_t netBand = kBand11a | kBand11b;
    bool privacy = false;
    std::uint32_t defaultKey = kUniqueKeySlot;  // 0..3 shared key, 4 the unique key
    std::uint32_t encryptionAlg = kAlgAutomatic;
    std::array<std::vector<std::uint8_t>, kKeySlots> keys;
    std::string country = "US";
    std::string networkAddress;  // the MAC address override, 12 hex digits; empty = the card's own
};

// Writes the values of a fresh installation (no network name, no keys, automatic band).
void writeDefaultParameters(Store& store, reg::KeyId driverKey);
// Reads the values (missing or unreadable ones keep the defaults above) and unseals the keys with
// the key's CardCfgId.
StationSettings readParameters(Store& store, reg::KeyId driverKey);

}  // namespace sim::driver
