#include <charconv>
#include <string>

#include "sim/driver_oids.h"
#include "vessra/common/text.h"

namespace sim::driver {

namespace {

struct Named {
    std::uint32_t oid;
    const char* name;
};

constexpr Named kNames[] = {
    {OID_VENDOR_PRE_JOIN, "OID_VENDOR_PRE_JOIN"},
    {OID_VENDOR_CURRENT_CHANNEL, "OID_VENDOR_CURRENT_CHANNEL"},
    {OID_VENDOR_RSSI, "OID_VENDOR_RSSI"},
    {OID_VENDOR_SCAN_LIST, "OID_VENDOR_SCAN_LIST"},
    {OID_VENDOR_LINK_CIPHER_RATE, "OID_VENDOR_LINK_CIPHER_RATE"},
    {OID_VENDOR_RADIO, "OID_VENDOR_RADIO"},
    {OID_VENDOR_CONFIGURATION, "OID_VENDOR_CONFIGURATION"},
    {OID_VENDOR_IDLE_NOTICE, "OID_VENDOR_IDLE_NOTICE"},
    {OID_VENDOR_COUNTRY_CODE, "OID_VENDOR_COUNTRY_CODE"},
    {OID_802_11_BSSID, "OID_802_11_BSSID"},
    {OID_802_11_SSID, "OID_802_11_SSID"},
    {OID_802_11_INFRASTRUCTURE_MODE, "OID_802_11_INFRASTRUCTURE_MODE"},
    {OID_802_3_CURRENT_ADDRESS, "OID_802_3_CURRENT_ADDRESS"},
    {OID_GEN_XMIT_OK, "OID_GEN_XMIT_OK"},
    {OID_GEN_RCV_OK, "OID_GEN_RCV_OK"},
};

}  // namespace

const char* oidName(std::uint32_t oid) {
    for (const Named& named : kNames) {
        if (named.oid == oid)
            return named.name;
    }
    return nullptr;
}

std::optional<std::uint32_t> oidFromText(std::string_view text) {
    for (const Named& named : kNames) {
        if (vessra::equalsIgnoreAsciiCase(text, named.name))
            return named.oid;
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t oid = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), oid, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return oid;
}

}  // namespace sim::driver
