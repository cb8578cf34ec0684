#pragma once
// The simulated adapter driver: the network cards the adapter access library delivers, and the
// object requests the driver answers for the adapter.
//
// A request completes before handleRequest returns. It reads or writes at most `length` bytes of
// the caller's buffer, reports the bytes written (query) or read (set), and on a buffer shorter
// than the OID's layout fails with `needed` set. Each request is one store transaction: the
// driver's state, the association and the journal entry change together, so several processes
// can drive the same machine. Every request, failed or not, is written to the journal.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/registry_store.h"
#include "sim/store.h"

namespace sim::driver {

// Results, numbered as the Windows errors that the access library reports for them.
enum class Status : std::uint32_t {
    Success = 0,
    InvalidHandle = 6,
    GeneralFailure = 31,  // an injected fault
    NotSupported = 50,    // an OID the driver does not know in that direction
    InvalidParameter = 87,
    InsufficientBuffer = 122,
    DeviceNotConnected = 1167,  // the card is removed, disabled or has no device node
};

// One network card as the adapter access library delivers it, in delivery order.
struct NetCard {
    std::size_t position = 0;  // zero-based place in the delivery order
    std::string description;
    std::string name;  // NT: what follows "\Device\"; 98 SE/Me: the device's service name
    std::optional<reg::KeyId> driverKey;
    std::string deviceInstanceId;  // empty when no device node belongs to the card
};

std::vector<NetCard> netCards(Store& store);
// The key (below HKEY_LOCAL_MACHINE) that holds the cards' driver keys.
std::string netCardRegistryPath(Store& store);
// NT systems open "\Device\<name>"; 98 SE/Me systems the four-digit position.
std::optional<NetCard> cardForDeviceName(Store& store, std::string_view deviceName);
// Success when the card's device node is present and enabled.
Status cardAvailable(Store& store, const NetCard& card);

struct Request {
    bool set = false;
    std::uint32_t oid = 0;
    std::uint32_t transferred = 0;  // out: bytes written (query) or read (set)
    std::uint32_t needed = 0;       // out: bytes the OID's layout needs
};

// `buffer` is exactly the caller's information buffer.
Status handleRequest(Store& store, const NetCard& card, Request& request, std::span<std::uint8_t> buffer);

// The journal, oldest first. bytes_in/bytes_out keep at most kJournalDataLimit bytes each.
inline constexpr std::size_t kJournalDataLimit = 256;
inline constexpr std::int64_t kJournalKeep = 5000;  // older entries are dropped

struct JournalEntry {
    std::int64_t id = 0;
    std::int64_t timeMs = 0;
    std::string instanceId;
    bool set = false;
    std::uint32_t oid = 0;
    std::uint32_t length = 0;
    std::vector<std::uint8_t> bytesIn;   // set: the payload
    std::vector<std::uint8_t> bytesOut;  // query: the bytes written
    std::uint32_t transferred = 0;
    std::uint32_t needed = 0;
    Status result = Status::Success;
};
std::vector<JournalEntry> journal(Store& store);
void clearJournal(Store& store);

// Fault injection: the next `count` requests fail, or every request of one OID fails, with
// GeneralFailure, until cleared.
void failNextRequests(Store& store, std::int64_t count);
void failOid(Store& store, std::uint32_t oid);
void clearFaults(Store& store);

}  // namespace sim::driver
