#pragma once
// What the machine tells about itself: its version record, default language, name, fresh GUIDs and
// the list of network adapters with their addresses.
//
// Contract:
// - The version record is the one a real system of the machine's kind reports (platform, major,
//   minor, build, service-pack text: "Service Pack 6" on NT 4.0 SP6, " A " on Windows 98 SE).
// - The language is the default locale's language as four upper-case hex digits ("0411" Japanese).
// - newGuid draws from the system's random source (a version-4 GUID); guidText is the lower-case
//   "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" form without braces.
// - The adapter list holds every network card that is present and enabled, in the machine's device
//   order, with the addresses it has now: a DHCP card its lease (0.0.0.0 without one), a card with
//   a fixed address the address configured in the system's TCP/IP settings.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"

namespace platform::system {

enum class Platform : std::uint32_t { Windows9x = 1, NT = 2 };

struct VersionInfo {
    Platform platform = Platform::NT;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::string servicePack;
};

Error versionInfo(VersionInfo& out);
Error defaultLanguageHex(std::string& out);
Error computerName(std::string& out);

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};
};

Guid newGuid();
std::string guidText(const Guid& guid);

struct IpAddressWithMask {
    std::string address;  // dotted text
    std::string mask;
};

struct AdapterInfo {
    std::string name;  // the interface's GUID text in braces on NT 5 systems, else the driver service name
    std::string description;
    std::array<std::uint8_t, 6> hardwareAddress{};
    std::vector<IpAddressWithMask> ipAddresses;  // at least one; "0.0.0.0" when the card has none
    std::vector<std::string> gateways;           // may be empty
    bool dhcpEnabled = false;
    std::string dhcpServer;  // with dhcpEnabled; "" otherwise
};

Error adaptersInfo(std::vector<AdapterInfo>& out);

}  // namespace platform::system
