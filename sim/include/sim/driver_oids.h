#pragma once
// The object requests the adapter's driver answers: OID numbers and the byte layout of every
// buffer. All numbers in buffers are little-endian; a "word" is 32 bits. These constants are the
// one place the layouts are fixed; the driver, the adapter access library and the tests use them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sim::driver {

// Vendor OIDs.
inline constexpr std::uint32_t OID_VENDOR_PRE_JOIN = 0xFFF0000C;  // S 4: zero bytes; sent before a join
inline constexpr std::uint32_t OID_VENDOR_CURRENT_CHANNEL = 0xFFF0000D;  // Q: kChannelRecordSize record
inline constexpr std::uint32_t OID_VENDOR_RSSI = 0xFFF0000E;             // Q 4: signed dBm, -95 = no signal
inline constexpr std::uint32_t OID_VENDOR_SCAN_LIST = 0xFFF00010;        // Q: count word + ScanEntry records
inline constexpr std::uint32_t OID_VENDOR_LINK_CIPHER_RATE =
    0xFFF00011;                                                // Q 8: cipher word, rate word (Mbps)
inline constexpr std::uint32_t OID_VENDOR_RADIO = 0xFF300000;  // S 4: 1 on / 0 off; Q 4: low byte 0 = off
inline constexpr std::uint32_t OID_VENDOR_CONFIGURATION = 0xFF300001;  // S: ConfigurationRecord
inline constexpr std::uint32_t OID_VENDOR_IDLE_NOTICE = 0xFF21000E;    // S 4: zero bytes; link idle
inline constexpr std::uint32_t OID_VENDOR_COUNTRY_CODE = 0xFF00001C;   // S 3: 2nd letter, 1st letter, 0
// Standard NDIS OIDs.
inline constexpr std::uint32_t OID_802_11_BSSID = 0x0D010101;  // Q 6: BSSID, all zero when not joined
inline constexpr std::uint32_t OID_802_11_SSID = 0x0D010102;   // Q/S kSsidRecordSize: length word + 32 bytes
inline constexpr std::uint32_t OID_802_11_INFRASTRUCTURE_MODE =
    0x0D010108;                                                         // Q/S 4: 0 ad hoc, 1 infrastructure
inline constexpr std::uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;  // Q 6: MAC address
inline constexpr std::uint32_t OID_GEN_XMIT_OK = 0x00020101;            // Q 4: frames sent
inline constexpr std::uint32_t OID_GEN_RCV_OK = 0x00020102;             // Q 4: frames received

// OID_VENDOR_CURRENT_CHANNEL: a 36-byte record whose word at 12 is the centre frequency in kHz.
inline constexpr std::size_t kChannelRecordSize = 36;
inline constexpr std::size_t kChannelFrequencyOffset = 12;

// OID_802_11_SSID: word 0 the length (at most 32), bytes 4..35 the text, zero-padded.
inline constexpr std::size_t kSsidRecordSize = 36;
inline constexpr std::size_t kSsidMaxLength = 32;
inline constexpr std::size_t kSsidTextOffset = 4;

inline constexpr std::size_t kMacSize = 6;

// OID_VENDOR_SCAN_LIST: word 0 the number of entries written, then one ScanEntry every 108 bytes.
inline constexpr std::size_t kScanCountSize = 4;
namespace scan {
inline constexpr std::size_t kEntrySize = 108;
inline constexpr std::size_t kLength = 0;         // word: entry length (108)
inline constexpr std::size_t kBssid = 4;          // 6 bytes
inline constexpr std::size_t kSsidLength = 12;    // word
inline constexpr std::size_t kSsid = 16;          // 32 bytes
inline constexpr std::size_t kPrivacy = 48;       // word: 1 = encryption required
inline constexpr std::size_t kRssi = 52;          // signed word, dBm
inline constexpr std::size_t kNetworkType = 56;   // word: 1 DS (2.4 GHz b), 2 OFDM 5 GHz, 3 OFDM 2.4 GHz
inline constexpr std::size_t kConfigLength = 60;  // word: 32, the length of the configuration part
inline constexpr std::size_t kBeaconPeriod = 64;  // word, time units
inline constexpr std::size_t kAtimWindow = 68;    // word
inline constexpr std::size_t kFrequency = 72;     // word: centre frequency in kHz
inline constexpr std::size_t kChannelFlags = 92;  // word: kFlagTurbo, kFlag11g
inline constexpr std::size_t kMode = 96;          // word: 1 infrastructure, 0 ad hoc
inline constexpr std::size_t kRates = 100;        // 8 bytes of supported rates (500 kb/s units)
}  // namespace scan
inline constexpr std::uint32_t kFlagTurbo = 0x100;
inline constexpr std::uint32_t kFlag11g = 0x400;
// The reply buffer every caller of the utility passes for the large queries.
inline constexpr std::size_t kLargeQueryLength = 4104;

// OID_VENDOR_CONFIGURATION: the 360-byte ConfigurationRecord. Key fields carry sealed bytes,
// unsealed with the card identifier at kCardId.
namespace config {
inline constexpr std::size_t kSize = 360;
inline constexpr std::size_t kVersion = 0;  // word: 2
inline constexpr std::size_t kCardId = 4;   // 37 bytes: CardCfgId text, zero-terminated
inline constexpr std::size_t kCardIdWidth = 37;
inline constexpr std::size_t kSsid = 41;  // 35 bytes: SSID text, zero-terminated
inline constexpr std::size_t kSsidWidth = 35;
inline constexpr std::size_t kSsidLength = 76;  // word
inline constexpr std::size_t kBssType = 80;     // word: 1 infrastructure, 2 ad hoc, 0 other
inline constexpr std::size_t kPowerSave = 84;   // word
inline constexpr std::size_t kSecurity = 88;    // byte: non-zero = encryption on
inline constexpr std::size_t kDefaultKey = 92;  // word: 0..3 shared key, 4 the unique key
inline constexpr std::size_t kKeys = 96;        // 5 x 16 bytes: shared keys 0..3, unique key
inline constexpr std::size_t kKeyWidth = 16;
inline constexpr std::size_t kKeyLengths = 176;  // 5 words: plain key lengths in bytes (5, 13, 16; 0 = none)
inline constexpr std::size_t kScanType = 336;    // word
inline constexpr std::size_t kTransmitPower = 340;  // word
inline constexpr std::size_t kQos = 344;            // byte
inline constexpr std::size_t kAdHocBand = 348;      // word
inline constexpr std::size_t kWirelessModes = 352;  // word: 4 802.11b, 3 802.11a, 7 automatic
inline constexpr std::size_t kPreamble = 356;       // word
}  // namespace config

inline constexpr std::size_t kKeySlots = 5;  // shared keys 0..3, then the unique key (slot 4)
inline constexpr std::uint32_t kUniqueKeySlot = 4;

// Cipher numbers of OID_VENDOR_LINK_CIPHER_RATE.
inline constexpr std::uint32_t kCipherNone = 0;
inline constexpr std::uint32_t kCipherWep = 1;
inline constexpr std::uint32_t kCipherAes = 2;

inline constexpr std::int32_t kNoSignalDbm = -95;

// OID names for people (simhost, the journal); nullptr for an unknown number.
const char* oidName(std::uint32_t oid);
// Accepts a name above (any case) or a number in decimal or 0x hex.
std::optional<std::uint32_t> oidFromText(std::string_view text);

}  // namespace sim::driver
