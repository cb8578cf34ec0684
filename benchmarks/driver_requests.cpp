// The utility's link view and survey issue about ten driver requests every four seconds; these
// measure the two heaviest through the adapter access functions: a full scan-list query (4104-byte
// reply) and an SSID set (which starts a new association).

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/w32n50.h"
#include "scratch_machine_file.h"
#include "sim/driver_oids.h"
#include "sim/machine.h"
#include "vessra/common/bytes.h"

namespace {

namespace driver = sim::driver;

// A fresh default machine (Windows XP, the adapter present) with the adapter opened.
class OpenAdapter {
  public:
    OpenAdapter() {
        unsigned char info[W32N_REGISTRY_INFO_SIZE] = {};
        for (int rc = W32N_GetFirstAdapterRegistryInfo(info); rc == 0 && m_handle == W32N_INVALID_ADAPTER;
             rc = W32N_GetNextAdapterRegistryInfo(info)) {
            if (!std::strstr(reinterpret_cast<char*>(info), "Vessra"))
                continue;
            const std::string name =
                "\\Device\\" + std::string(reinterpret_cast<char*>(info + W32N_INFO_NAME_OFFSET));
            m_handle = W32N_OpenAdapterA(name.c_str());
        }
    }
    ~OpenAdapter() { W32N_CloseAdapter(m_handle); }
    intptr_t handle() const { return m_handle; }

  private:
    ScratchMachineFile m_machine;  // made before the adapter is looked for, removed after it is closed
    intptr_t m_handle = W32N_INVALID_ADAPTER;
};

int sendRequest(intptr_t handle, std::uint32_t type, std::uint32_t oid, std::vector<std::uint8_t>& buffer) {
    unsigned char record[W32N_REQUEST_SIZE] = {};
    unsigned char overlapped[W32N_OVERLAPPED_SIZE] = {};
    vessra::writeLe32(std::span(record), W32N_REQUEST_TYPE_OFFSET, type);
    vessra::writeLe32(std::span(record), W32N_REQUEST_OID_OFFSET, oid);
    vessra::writeLe32(std::span(record), W32N_REQUEST_BUFFER_OFFSET, W32N_BufferAddressField(buffer.data()));
    vessra::writeLe32(std::span(record), W32N_REQUEST_LENGTH_OFFSET,
                      static_cast<std::uint32_t>(buffer.size()));
    return W32N_MakeNdisRequest(handle, record, overlapped, 1, buffer.data());
}

void BM_ScanListQuery(benchmark::State& state) {
    OpenAdapter adapter;
    std::vector<std::uint8_t> buffer(driver::kLargeQueryLength);
    for (auto _ : state) {
        if (sendRequest(adapter.handle(), W32N_REQUEST_QUERY, driver::OID_VENDOR_SCAN_LIST, buffer) != 0) {
            state.SkipWithError("scan-list query failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_ScanListQuery)->Unit(benchmark::kMicrosecond);

void BM_SsidSet(benchmark::State& state) {
    OpenAdapter adapter;
    const char* names[] = {"Lobby-B", "Osaka-JE"};
    std::size_t next = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> buffer(driver::kSsidRecordSize, 0);
        const std::string ssid = names[next++ % 2];
        vessra::writeLe32(buffer, 0, static_cast<std::uint32_t>(ssid.size()));
        std::memcpy(buffer.data() + driver::kSsidTextOffset, ssid.data(), ssid.size());
        if (sendRequest(adapter.handle(), W32N_REQUEST_SET, driver::OID_802_11_SSID, buffer) != 0) {
            state.SkipWithError("SSID set failed");
            break;
        }
    }
}
BENCHMARK(BM_SsidSet)->Unit(benchmark::kMicrosecond);

}  // namespace
