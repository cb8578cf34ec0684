// simhost query/set/journal/fault: one driver request through the adapter access functions, the
// driver's request journal, and the faults the driver is told to fake.

#include <charconv>
#include <cstdio>
#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "platform/w32n50.h"
#include "sim/driver.h"
#include "sim/driver_oids.h"
#include "vessra/common/bytes.h"

namespace simhost {

namespace {

namespace driver = sim::driver;

// Opens the first card whose description names the product, by the machine's naming rule.
intptr_t openProductAdapter(sim::Store& store) {
    unsigned char info[W32N_REGISTRY_INFO_SIZE] = {};
    const bool nt = sim::isNtFamily(sim::machineSystem(store).value_or(sim::SystemKind::WindowsXP));
    int position = 0;
    for (int rc = W32N_GetFirstAdapterRegistryInfo(info); rc == 0;
         rc = W32N_GetNextAdapterRegistryInfo(info), ++position) {
        const std::string description(reinterpret_cast<char*>(info));
        if (description.find("Vessra") == std::string::npos)
            continue;
        char instance[16];
        std::snprintf(instance, sizeof instance, "%04d", position);
        const std::string name =
            nt ? "\\Device\\" + std::string(reinterpret_cast<char*>(info + W32N_INFO_NAME_OFFSET))
               : std::string(instance);
        const intptr_t handle = W32N_OpenAdapterA(name.c_str());
        if (handle != W32N_INVALID_ADAPTER)
            return handle;
    }
    return W32N_INVALID_ADAPTER;
}

std::string oidLabel(std::uint32_t oid) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", oid);
    const char* name = driver::oidName(oid);
    return name ? std::string(name) + " (" + number + ")" : std::string(number);
}

void printHex(std::ostream& out, std::span<const std::uint8_t> bytes) {
    for (std::size_t offset = 0; offset < bytes.size(); offset += 16) {
        char label[32];
        std::snprintf(label, sizeof label, "  %04zx: ", offset);
        out << label << vessra::toHex(bytes.subspan(offset, std::min<std::size_t>(16, bytes.size() - offset)))
            << "\n";
    }
}

int sendRequest(const Invocation& call, bool isSet) {
    const char* usage = isSet ? "usage: simhost set OID HEXBYTES\n" : "usage: simhost query OID [LENGTH]\n";
    if (call.args.empty() || call.args.size() > 2) {
        call.err << usage;
        return kUsage;
    }
    const auto oid = driver::oidFromText(call.args[0]);
    vessra::Bytes buffer;
    std::uint32_t length = driver::kLargeQueryLength;
    bool good = oid.has_value();
    if (isSet) {
        good = good && call.args.size() == 2 && vessra::parseHex(call.args[1], buffer);
        length = static_cast<std::uint32_t>(buffer.size());
    } else if (call.args.size() == 2) {
        const auto [end, error] =
            std::from_chars(call.args[1].data(), call.args[1].data() + call.args[1].size(), length);
        good = good && error == std::errc{} && end == call.args[1].data() + call.args[1].size() &&
               length <= 65536;
        buffer.resize(length);
    } else {
        buffer.resize(length);
    }
    if (!good) {
        call.err << usage << "OID: a name such as OID_VENDOR_RADIO or a number; LENGTH at most 65536\n";
        return kUsage;
    }
    auto store = openThisMachine();
    const intptr_t handle = openProductAdapter(*store);
    if (handle == W32N_INVALID_ADAPTER) {
        call.err << "simhost: the adapter cannot be opened (error " << W32N_GetLastError() << ")\n";
        return kFailed;
    }
    unsigned char record[W32N_REQUEST_SIZE] = {};
    unsigned char overlapped[W32N_OVERLAPPED_SIZE] = {};
    vessra::writeLe32(std::span(record), W32N_REQUEST_TYPE_OFFSET,
                      isSet ? W32N_REQUEST_SET : W32N_REQUEST_QUERY);
    vessra::writeLe32(std::span(record), W32N_REQUEST_OID_OFFSET, *oid);
    vessra::writeLe32(std::span(record), W32N_REQUEST_BUFFER_OFFSET, W32N_BufferAddressField(buffer.data()));
    vessra::writeLe32(std::span(record), W32N_REQUEST_LENGTH_OFFSET, length);
    const int result = W32N_MakeNdisRequest(handle, record, overlapped, 1, buffer.data());
    W32N_CloseAdapter(handle);
    const std::uint32_t transferred = vessra::readLe32(std::span(record), W32N_REQUEST_TRANSFERRED_OFFSET);
    const std::uint32_t needed = vessra::readLe32(std::span(record), W32N_REQUEST_NEEDED_OFFSET);
    call.out << (isSet ? "set " : "query ") << oidLabel(*oid) << ": result " << result
             << (result == 0 ? " (success)" : "") << ", " << (isSet ? "read " : "written ") << transferred
             << ", needed " << needed << "\n";
    if (!isSet)
        printHex(call.out, std::span<const std::uint8_t>(buffer).first(
                               std::min<std::size_t>(transferred, buffer.size())));
    return result == 0 ? kOk : kFailed;
}

const char* statusName(driver::Status status) {
    switch (status) {
        case driver::Status::Success:
            return "success";
        case driver::Status::InvalidHandle:
            return "invalid handle";
        case driver::Status::GeneralFailure:
            return "failure (injected)";
        case driver::Status::NotSupported:
            return "not supported";
        case driver::Status::InvalidParameter:
            return "invalid parameter";
        case driver::Status::InsufficientBuffer:
            return "buffer too short";
        case driver::Status::DeviceNotConnected:
            return "device not connected";
    }
    return "?";
}

}  // namespace

int runQuery(const Invocation& call) {
    return sendRequest(call, false);
}
int runSet(const Invocation& call) {
    return sendRequest(call, true);
}

int runJournal(const Invocation& call) {
    auto store = openThisMachine();
    if (call.args.size() == 1 && call.args[0] == "--clear") {
        driver::clearJournal(*store);
        call.out << "journal cleared\n";
        return kOk;
    }
    if (!call.args.empty()) {
        call.err << "usage: simhost journal [--clear]\n";
        return kUsage;
    }
    for (const auto& entry : driver::journal(*store)) {
        call.out << "#" << entry.id << " " << entry.timeMs << " " << (entry.set ? "S " : "Q ")
                 << oidLabel(entry.oid) << " length " << entry.length << " "
                 << (entry.set ? "read " : "written ") << entry.transferred << " needed " << entry.needed
                 << ": " << statusName(entry.result) << "\n";
        if (!entry.bytesIn.empty())
            call.out << "  in  " << vessra::toHex(entry.bytesIn) << "\n";
        if (!entry.bytesOut.empty())
            call.out << "  out " << vessra::toHex(entry.bytesOut) << "\n";
    }
    return kOk;
}

int runFault(const Invocation& call) {
    const auto& args = call.args;
    auto store = openThisMachine();
    if (args.size() == 1 && args[0] == "clear") {
        driver::clearFaults(*store);
        call.out << "faults cleared\n";
        return kOk;
    }
    if (args.size() == 2 && args[0] == "next") {
        std::int64_t count = 0;
        const auto [end, error] = std::from_chars(args[1].data(), args[1].data() + args[1].size(), count);
        if (error == std::errc{} && end == args[1].data() + args[1].size() && count >= 0) {
            driver::failNextRequests(*store, count);
            call.out << "the next " << count << " requests fail\n";
            return kOk;
        }
    }
    if (args.size() == 2 && args[0] == "oid") {
        if (const auto oid = driver::oidFromText(args[1])) {
            driver::failOid(*store, *oid);
            call.out << "every " << oidLabel(*oid) << " request fails\n";
            return kOk;
        }
    }
    call.err << "usage: simhost fault next N | fault oid OID | fault clear\n";
    return kUsage;
}

}  // namespace simhost
