// simhost net: the wireless networks in range of the machine's adapter.

#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/radio.h"
#include "vessra/common/bytes.h"

namespace simhost {

namespace {

namespace radio = sim::radio;

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.data() + (hex ? 2 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value, hex ? 16 : 10);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

const char* securityName(radio::Security security) {
    switch (security) {
        case radio::Security::Wep:
            return "wep";
        case radio::Security::Aes:
            return "aes";
        default:
            return "open";
    }
}

int list(const Invocation& call) {
    auto store = openThisMachine();
    const auto now = std::chrono::system_clock::now();
    char line[200];
    std::snprintf(line, sizeof line, "%-32s %-17s %6s %6s %-6s %-5s %5s %5s  %s\n", "SSID", "BSSID", "MHz",
                  "flags", "mode", "sec", "base", "now", "key");
    call.out << line;
    for (const radio::Network& network : radio::allNetworks(*store)) {
        std::snprintf(line, sizeof line, "%-32s %-17s %6u %#6x %-6s %-5s %5d %5d  %s\n", network.ssid.c_str(),
                      radio::bssidText(network.bssid).c_str(), network.frequencyKhz / 1000, network.flags,
                      network.infrastructure ? "infra" : "adhoc", securityName(network.security),
                      network.baseRssi,
                      radio::inRange(network) ? radio::currentRssi(network, now) : radio::kOutOfRangeDbm,
                      vessra::toHex(network.key).c_str());
        call.out << line;
    }
    return kOk;
}

constexpr const char* kAddUsage =
    "simhost net add SSID BSSID MHZ [--flags N] [--adhoc] [--wep KEYHEX | --aes KEYHEX] [--rssi DBM]\n";

int add(const Invocation& call) {
    if (call.args.size() < 4) {
        call.err << "usage: " << kAddUsage;
        return kUsage;
    }
    radio::Network network;
    network.ssid = call.args[1];
    const auto bssid = radio::bssidFromText(call.args[2]);
    std::uint32_t megahertz = 0;
    if (network.ssid.size() > 32 || !bssid || !parseNumber(call.args[3], megahertz)) {
        call.err << "simhost net add: SSID of at most 32 bytes, BSSID as 00:11:22:33:44:55, MHz a number\n";
        return kUsage;
    }
    network.bssid = *bssid;
    network.frequencyKhz = megahertz * 1000;
    for (std::size_t i = 4; i < call.args.size(); ++i) {
        const std::string& word = call.args[i];
        const bool hasValue = i + 1 < call.args.size();
        bool good = true;
        if (word == "--adhoc") {
            network.infrastructure = false;
        } else if (word == "--flags" && hasValue) {
            good = parseNumber(call.args[++i], network.flags);
        } else if (word == "--rssi" && hasValue) {
            good = parseNumber(call.args[++i], network.baseRssi);
        } else if ((word == "--wep" || word == "--aes") && hasValue) {
            network.security = word == "--wep" ? radio::Security::Wep : radio::Security::Aes;
            good = vessra::parseHex(call.args[++i], network.key);
            const std::size_t size = network.key.size();
            good = good && (word == "--wep" ? (size == 5 || size == 13) : size == 16);
        } else {
            good = false;
        }
        if (!good) {
            call.err << "simhost net add: bad " << word
                     << " (WEP keys have 5 or 13 bytes, AES keys 16)\nusage: " << kAddUsage;
            return kUsage;
        }
    }
    auto store = openThisMachine();
    if (radio::networkByBssid(*store, network.bssid)) {
        call.err << "simhost net add: a network with BSSID " << call.args[2] << " exists already\n";
        return kFailed;
    }
    radio::addNetwork(*store, network);
    call.out << "added " << network.ssid << " " << radio::bssidText(network.bssid) << "\n";
    return kOk;
}

int removeOrMove(const Invocation& call) {
    const bool move = call.args[0] == "move";
    std::int32_t rssi = 0;
    if (call.args.size() != (move ? 3u : 2u) || (move && !parseNumber(call.args[2], rssi))) {
        call.err << (move ? "usage: simhost net move SSID|BSSID DBM\n"
                          : "usage: simhost net remove SSID|BSSID\n");
        return kUsage;
    }
    auto store = openThisMachine();
    const bool done =
        move ? radio::moveNetwork(*store, call.args[1], rssi) : radio::removeNetwork(*store, call.args[1]);
    if (!done) {
        call.err << "simhost net: no network " << call.args[1] << "\n";
        return kFailed;
    }
    call.out << (move ? "moved " : "removed ") << call.args[1] << "\n";
    return kOk;
}

}  // namespace

int runNetwork(const Invocation& call) {
    if (call.args.empty() || call.args[0] == "list")
        return list(call);
    if (call.args[0] == "add")
        return add(call);
    if (call.args[0] == "remove" || call.args[0] == "move")
        return removeOrMove(call);
    call.err << "simhost net: list, add, remove or move\n";
    return kUsage;
}

}  // namespace simhost
