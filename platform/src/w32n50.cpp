// The adapter access library over the simulated driver. Its process-wide state (the open adapter
// handles and the lock that carries one request at a time) is grouped in AdapterTable.

#include "platform/w32n50.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <span>
#include <string>

#include "machine_connection.h"
#include "sim/driver.h"
#include "vessra/common/bytes.h"

namespace {

namespace driver = sim::driver;

// Inside the registry information record, beyond the two texts the caller reads.
constexpr std::size_t kDescriptionWidth = 256;
constexpr std::size_t kNameWidth = 240;
constexpr std::size_t kPositionOffset = 776;  // word: the delivered card's position

struct AdapterTable {
    std::mutex tableMutex;
    std::mutex requestMutex;  // the channel carries one request at a time
    std::map<intptr_t, driver::NetCard> open;
    intptr_t nextHandle = 0x1000;
};

AdapterTable& adapterTable() {
    static AdapterTable table;
    return table;
}

thread_local std::uint32_t lastError = W32N_ERROR_SUCCESS;
thread_local std::string registryPathText;

int fail(std::uint32_t error) {
    lastError = error;
    return static_cast<int>(error);
}

// Runs work on this thread's machine store; a store failure becomes W32N_ERROR_INTERNAL.
template <typename Work>
auto withStore(Work work, decltype(work(std::declval<sim::Store&>())) onFailure) {
    try {
        return work(platform::detail::machineStore());
    } catch (const std::exception&) {
        lastError = W32N_ERROR_INTERNAL;
        return onFailure;
    }
}

int deliverCard(unsigned char* info, std::size_t position) {
    if (!info)
        return fail(W32N_ERROR_INVALID_PARAMETER);
    return withStore(
        [&](sim::Store& store) {
            const auto cards = driver::netCards(store);
            if (position >= cards.size())
                return fail(W32N_ERROR_NO_MORE_ITEMS);
            const std::span<std::uint8_t> record(info, W32N_REGISTRY_INFO_SIZE);
            std::memset(info, 0, W32N_REGISTRY_INFO_SIZE);
            vessra::writeCString(record, W32N_INFO_DESCRIPTION_OFFSET, kDescriptionWidth,
                                 cards[position].description);
            vessra::writeCString(record, W32N_INFO_NAME_OFFSET, kNameWidth, cards[position].name);
            vessra::writeLe32(record, kPositionOffset, static_cast<std::uint32_t>(position));
            lastError = W32N_ERROR_SUCCESS;
            return 0;
        },
        static_cast<int>(W32N_ERROR_INTERNAL));
}

std::optional<driver::NetCard> openCard(intptr_t adapter) {
    AdapterTable& table = adapterTable();
    std::lock_guard lock(table.tableMutex);
    const auto found = table.open.find(adapter);
    if (found == table.open.end())
        return std::nullopt;
    return found->second;
}

}  // namespace

extern "C" {

int W32N_GetFirstAdapterRegistryInfo(unsigned char* info) {
    return deliverCard(info, 0);
}

int W32N_GetNextAdapterRegistryInfo(unsigned char* info) {
    if (!info)
        return fail(W32N_ERROR_INVALID_PARAMETER);
    const std::size_t position =
        vessra::readLe32(std::span<const std::uint8_t>(info, W32N_REGISTRY_INFO_SIZE), kPositionOffset);
    return deliverCard(info, position + 1);
}

const char* W32N_GetNetCardRegistryPath(const char* /*instanceText*/) {
    registryPathText =
        withStore([](sim::Store& store) { return driver::netCardRegistryPath(store); }, std::string());
    return registryPathText.c_str();
}

intptr_t W32N_OpenAdapterA(const char* deviceName) {
    if (!deviceName) {
        fail(W32N_ERROR_INVALID_PARAMETER);
        return W32N_INVALID_ADAPTER;
    }
    const auto card = withStore(
        [&](sim::Store& store) -> std::optional<driver::NetCard> {
            auto found = driver::cardForDeviceName(store, deviceName);
            if (!found) {
                fail(W32N_ERROR_FILE_NOT_FOUND);
                return std::nullopt;
            }
            if (const auto status = driver::cardAvailable(store, *found); status != driver::Status::Success) {
                fail(static_cast<std::uint32_t>(status));
                return std::nullopt;
            }
            return found;
        },
        std::nullopt);
    if (!card)
        return W32N_INVALID_ADAPTER;
    AdapterTable& table = adapterTable();
    std::lock_guard lock(table.tableMutex);
    const intptr_t handle = table.nextHandle;
    table.nextHandle += 4;
    table.open.emplace(handle, *card);
    lastError = W32N_ERROR_SUCCESS;
    return handle;
}

int W32N_CloseAdapter(intptr_t adapter) {
    AdapterTable& table = adapterTable();
    std::lock_guard lock(table.tableMutex);
    if (table.open.erase(adapter) == 0) {
        fail(W32N_ERROR_INVALID_HANDLE);
        return 0;
    }
    lastError = W32N_ERROR_SUCCESS;
    return 1;
}

int W32N_MakeNdisRequest(intptr_t adapter, unsigned char* request, unsigned char* overlapped,
                         int /*synchronous*/, void* buffer) {
    if (!request)
        return fail(W32N_ERROR_INVALID_PARAMETER);
    const std::span<std::uint8_t> record(request, W32N_REQUEST_SIZE);
    vessra::writeLe32(record, W32N_REQUEST_TRANSFERRED_OFFSET, 0);
    vessra::writeLe32(record, W32N_REQUEST_NEEDED_OFFSET, 0);
    const auto card = openCard(adapter);
    if (!card)
        return fail(W32N_ERROR_INVALID_HANDLE);
    const std::uint32_t type = vessra::readLe32(record, W32N_REQUEST_TYPE_OFFSET);
    const std::uint32_t length = vessra::readLe32(record, W32N_REQUEST_LENGTH_OFFSET);
    if (type > W32N_REQUEST_SET || (length > 0 && !buffer) ||
        vessra::readLe32(record, W32N_REQUEST_BUFFER_OFFSET) != W32N_BufferAddressField(buffer)) {
        return fail(W32N_ERROR_INVALID_PARAMETER);
    }
    driver::Request call;
    call.set = type == W32N_REQUEST_SET;
    call.oid = vessra::readLe32(record, W32N_REQUEST_OID_OFFSET);
    const std::span<std::uint8_t> information(static_cast<std::uint8_t*>(buffer), length);
    std::lock_guard lock(adapterTable().requestMutex);
    const std::uint32_t result = withStore(
        [&](sim::Store& store) {
            return static_cast<std::uint32_t>(driver::handleRequest(store, *card, call, information));
        },
        std::uint32_t{W32N_ERROR_INTERNAL});
    vessra::writeLe32(record, W32N_REQUEST_TRANSFERRED_OFFSET, call.transferred);
    vessra::writeLe32(record, W32N_REQUEST_NEEDED_OFFSET, call.needed);
    if (overlapped) {
        const std::span<std::uint8_t> status(overlapped, W32N_OVERLAPPED_EVENT_OFFSET);
        vessra::writeLe32(status, 0, result);
        vessra::writeLe32(status, 4, call.transferred);
    }
    if (result != W32N_ERROR_SUCCESS)
        return fail(result);
    lastError = W32N_ERROR_SUCCESS;
    return 0;
}

uint32_t W32N_GetLastError(void) {
    return lastError;
}

uint32_t W32N_BufferAddressField(const void* buffer) {
    return static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(buffer));
}

}  // extern "C"
